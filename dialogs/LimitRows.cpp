#include "dialogs/LimitRows.h"

#include "link/Sio.h"
#include "ui/ActiveStation.h"
#include "ui/Messages.h"
#include "ui/NumberText.h"

#include <QLineEdit>

void ReadLimitRow(ReadTwoBytes read, QLineEdit* edit, NumberForm form) {
    if (!ActivePanel()) return;
    std::uint8_t area[3] = {0, 0, 0};
    read(area);
    if (SioErgebnis == 0) {
        edit->setText(QStringLiteral(" ????"));
        ShowTransferError();
        return;
    }
    if (area[0] == '?') {
        edit->setText(QStringLiteral(" 0000"));
        return;
    }
    edit->setText(form(static_cast<std::int16_t>((area[0] << 8) | area[1])));
}

void SendWordRow(WriteWord write, const QLineEdit* edit) {
    if (!ActivePanel()) return;
    const auto number = StrToIntOrComplain(edit->text());
    if (!number) return;
    if (write(static_cast<std::uint16_t>(*number)) == 0) ShowTransferError();
}
