#include "dialogs/LimitRows.h"

#include "dialogs/DialogCommands.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"
#include "ui/NumberText.h"

#include <QLineEdit>
#include <QPointer>

void ReadLimitRow(DialogCommands& commands, ReadTwoBytes read, QLineEdit* edit, NumberForm form) {
    if (!ActivePanel()) return;
    const QPointer<QLineEdit> target(edit);
    commands.Run(AreaReading<3>(read), [&commands, target, form](Answer<std::array<std::uint8_t, 3>> area) {
        if (!target) return;
        if (!area.ok) {
            if (commands.Shows()) target->setText(QStringLiteral(" ????"));
            ShowTransferError();
            return;
        }
        if (!commands.Shows()) return;
        if (area.value[0] == '?') {
            target->setText(QStringLiteral(" 0000"));
            return;
        }
        target->setText(form(static_cast<std::int16_t>((area.value[0] << 8) | area.value[1])));
    });
}

void SendWordRow(DialogCommands& commands, WriteWord write, const QLineEdit* edit) {
    if (!ActivePanel()) return;
    const auto number = StrToIntOrComplain(edit->text());
    if (!number) return;
    commands.Send(Writing(write, static_cast<std::uint16_t>(*number)), [](Answer<std::int32_t> sent) {
        if (!sent.ok) ShowTransferError();
    });
}
