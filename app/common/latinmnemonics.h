#pragma once

class QWidget;

// Lets Alt with the key of a Russian mnemonic reach it while the Latin layout is on. Qt matches
// Alt+Р typed in the Russian layout against the Latin letter of that key too, but not Alt+H
// typed in the Latin layout against «Р»: the key went to the field as the letter «h».
void addLatinMnemonics(QWidget *window);
