#pragma once
// The maximum and minimum rows that the display and the other values dialogs share: the same
// commands and the same failure texts, each dialog with its own number form. The commands run
// on the bus as the dialog's others do (DialogCommands).

#include <QString>
#include <cstdint>

class DialogCommands;
class QLineEdit;

using ReadTwoBytes = std::int32_t (*)(std::uint8_t*);
using WriteWord = std::int32_t (*)(std::uint16_t);
using NumberForm = QString (*)(int);

// " ????" and the transfer error when the read fails; " 0000" when the station answers '?' in
// its first byte (it has no such value yet); otherwise the signed 16-bit value in the given form.
void ReadLimitRow(DialogCommands& commands, ReadTwoBytes read, QLineEdit* edit, NumberForm form);
// Also the pulses row of the other values dialog. The edit's text is read strictly (the
// conversion error, and nothing sent, when it is no whole number); its low 16 bits are sent.
void SendWordRow(DialogCommands& commands, WriteWord write, const QLineEdit* edit);
