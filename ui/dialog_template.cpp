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
        {"droplist", ControlKind::DropList},     {"groupbox", ControlKind::GroupBox},
        {"static", ControlKind::StaticText},
        {"icon", ControlKind::StaticIcon},       {"textpane", ControlKind::TextPane},
    };
    for (const auto& [text, kind] : kinds) {
        if (name == QLatin1String(text)) return kind;
    }
    qFatal("Dialog template %d: unknown control kind \"%s\"", dialogId, qPrintable(name));
}

QRect rectFrom(const QJsonArray& a) { return QRect(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt()); }

QSize sizeFrom(const QJsonArray& a) { return QSize(a[0].toInt(), a[1].toInt()); }

// "x" and "y" in a list: the directions a control follows the window in.
Qt::Orientations directionsFrom(const QJsonArray& a) {
    Qt::Orientations directions;
    if (a.contains(QStringLiteral("x"))) directions |= Qt::Horizontal;
    if (a.contains(QStringLiteral("y"))) directions |= Qt::Vertical;
    return directions;
}

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
    c.triState = style.contains(QStringLiteral("tristate"));
    for (const auto& item : o["items"].toArray()) c.items << item.toString();
    c.buddy = o["buddy"].toInt();
    c.moves = directionsFrom(o["moves"].toArray());
    c.grows = directionsFrom(o["grows"].toArray());
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
    dialog.size = sizeFrom(root["size"].toArray());
    if (root.contains("minimumSize")) dialog.minimumSize = sizeFrom(root["minimumSize"].toArray());
    for (const auto& control : root["controls"].toArray()) {
        dialog.controls.push_back(controlFrom(control.toObject(), id));
    }
    return dialog;
}

}  // namespace quillon
