#pragma once
// Mnemonics for menu texts that come without them (the add-ons' menus): each item gets a letter
// no other item of its menu has, the first letter of a word where it can, else any letter.
#include <QSet>
#include <QString>

// The text with "&" before its chosen letter (a text's own "&" doubled); `taken` gets the letter,
// in lower case. A text with no letter left stays without a mnemonic.
QString WithMnemonic(const QString& text, QSet<QChar>& taken);
// The letter a text's mnemonic marks, in lower case; null for none.
QChar MnemonicOf(const QString& text);
