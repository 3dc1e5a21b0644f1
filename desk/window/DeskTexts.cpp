#include "desk/window/DeskTexts.h"

#include "desk/dialogs/CodePageText.h"
#include "host/resources/HostResources.h"

QString Text(DeskText text) { return FromCodePage(HostListString(text.list, text.index)); }

QString PlainText(DeskText text) {
    QString t = Text(text);
    // "&&" stands for an ampersand of the text itself.
    t.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    t.remove(QLatin1Char('&'));
    t.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return t;
}
