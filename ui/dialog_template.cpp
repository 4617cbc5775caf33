#include "dialog_template.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtGlobal>

#include <utility>

namespace quillon {

namespace {

ControlKind kindNamed(const QString& name, int dialogId) {
    static const std::pair<const char*, ControlKind> kinds[] = {
        {"pushbutton", ControlKind::PushButton}, {"radio", ControlKind::RadioButton},
        {"checkbox", ControlKind::CheckBox},     {"edit", ControlKind::Edit},
        {"droplist", ControlKind::DropList},     {"dropdown", ControlKind::DropDown},
        {"groupbox", ControlKind::GroupBox},     {"static", ControlKind::StaticText},
        {"icon", ControlKind::StaticIcon},       {"textpane", ControlKind::TextPane},
    };
    for (const auto& [text, kind] : kinds) {
        if (name == QLatin1String(text)) return kind;
    }
    qFatal("Dialog template %d: unknown control kind \"%s\"", dialogId, qPrintable(name));
}

QRect rectFrom(const QJsonArray& a) { return QRect(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt()); }

ControlTemplate controlFrom(const QJsonObject& o, int dialogId) {
    ControlTemplate c;
    c.id = o["id"].toInt();
    c.kind = kindNamed(o["kind"].toString(), dialogId);
    c.caption = o["caption"].toString();
    c.rect = rectFrom(o["rect"].toArray());
    const QJsonArray style = o["style"].toArray();
    c.groupStart = style.contains(QStringLiteral("group"));
    c.tabStop = style.contains(QStringLiteral("tabstop"));
    c.defaultButton = style.contains(QStringLiteral("default"));
    for (const auto& item : o["items"].toArray()) c.items << item.toString();
    return c;
}

}  // namespace

DialogTemplate loadDialogTemplate(int id) {
    QFile file(QStringLiteral(":/dialogs/%1.json").arg(id));
    if (!file.open(QIODevice::ReadOnly)) qFatal("Dialog template %d is missing", id);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (document.isNull()) qFatal("Dialog template %d: %s", id, qPrintable(error.errorString()));

    const QJsonObject root = document.object();
    DialogTemplate dialog;
    dialog.id = id;
    dialog.caption = root["caption"].toString();
    const QJsonArray size = root["size"].toArray();
    dialog.size = QSize(size[0].toInt(), size[1].toInt());
    for (const auto& control : root["controls"].toArray()) {
        dialog.controls.push_back(controlFrom(control.toObject(), id));
    }
    return dialog;
}

}  // namespace quillon
