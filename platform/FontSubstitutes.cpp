#include "platform/FontSubstitutes.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutes() {
    // Windows has the faces themselves; where its bitmap MS Sans Serif is gone, the TrueType face
    // made with the same widths stands in first.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"));
    // Liberation Sans has Arial's widths; Nimbus Sans is the other common Arial twin.
    const QStringList narrowSans{QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                 QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")};
    for (const char* face : {"Tahoma", "MS Sans Serif", "Arial"})
        QFont::insertSubstitutions(QString::fromLatin1(face), narrowSans);
}
