#include "desk/window/Mnemonics.h"

#include <vector>

QString WithMnemonic(const QString& text, QSet<QChar>& taken) {
    std::vector<qsizetype> wordStarts, letters;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isLetter()) continue;
        letters.push_back(i);
        if (i == 0 || !text[i - 1].isLetterOrNumber()) wordStarts.push_back(i);
    }
    QString escaped = text;
    escaped.replace(QStringLiteral("&"), QStringLiteral("&&"));
    for (const auto* candidates : {&wordStarts, &letters})
        for (qsizetype i : *candidates) {
            QChar letter = text[i].toLower();
            if (taken.contains(letter)) continue;
            taken.insert(letter);
            // The same place in the escaped text: every "&" before it became two.
            qsizetype at = i + text.left(i).count(QLatin1Char('&'));
            return escaped.insert(at, QLatin1Char('&'));
        }
    return escaped;
}

QChar MnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}
