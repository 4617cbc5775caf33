#include "resource_strings.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillon {

QString loadString(int id) {
    static const QJsonObject strings = [] {
        QFile file(QStringLiteral(":/strings.json"));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                              : QJsonObject();
    }();
    return strings.value(QString::number(id)).toString();
}

}  // namespace quillon
