#include "resource_strings.h"

#include <QCoreApplication>
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
    const QString text = strings.value(QString::number(id)).toString();
    return text.isEmpty() ? text : QCoreApplication::translate("DialogTemplate", text.toUtf8().constData());
}

}  // namespace quillon
