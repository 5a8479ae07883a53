#include "dialogs/Pinfon.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

TProgInfo* ProgInfo = nullptr;

namespace {

constexpr int kPictureWidth = 193;
constexpr int kPictureHeight = 89;

void DrawStation(QPainter& p, int x, int busY, const QString& value) {
    p.drawLine(x + 14, busY, x + 14, busY - 14);  // drop line to the bus
    p.drawRect(x, busY - 46, 28, 32);
    p.fillRect(x + 4, busY - 42, 20, 11, Qt::black);  // the display
    QFont digits(QStringLiteral("Tahoma"));
    digits.setPixelSize(9);
    p.setFont(digits);
    p.setPen(Qt::white);
    p.drawText(QRect(x + 4, busY - 42, 20, 11), Qt::AlignCenter, value);
    p.setPen(Qt::black);
    p.drawRect(x + 5, busY - 26, 5, 5);  // relay lamps
    p.drawRect(x + 18, busY - 26, 5, 5);
}

void DrawComputer(QPainter& p, int busY) {
    p.drawRect(6, busY - 50, 34, 26);  // screen
    p.drawRect(10, busY - 46, 26, 18);
    p.drawLine(23, busY - 24, 23, busY - 18);
    p.drawLine(13, busY - 18, 33, busY - 18);  // foot
    p.drawLine(23, busY - 18, 23, busY);       // to the converter on the bus
    p.fillRect(19, busY - 3, 9, 7, Qt::black);
}

}  // namespace

QImage TProgInfo::Picture() {
    QImage canvas(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 1));
        const int busY = 66;
        p.fillRect(6, busY - 1, kPictureWidth - 12, 3, Qt::black);  // the RS-485 line
        DrawComputer(p, busY);
        const QString values[] = {QStringLiteral("42"), QStringLiteral("7.5"), QStringLiteral("130")};
        for (int i = 0; i < 3; ++i) DrawStation(p, 62 + i * 44, busY, values[i]);
        QFont caption(QStringLiteral("Tahoma"));
        caption.setPixelSize(10);
        p.setFont(caption);
        p.drawText(QRect(6, busY + 6, kPictureWidth - 12, 14), Qt::AlignCenter, QStringLiteral("RS-485"));
    }
    // Two colours, as stored pictures of this kind are: every pixel black or white.
    return canvas.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither);
}

TProgInfo::TProgInfo(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Programminfo"));
    QFont form(QStringLiteral("Tahoma"));
    form.setPixelSize(11);
    setFont(form);
    setFixedSize(254, 170);

    Image1 = new QLabel(this);
    Image1->setGeometry(24, 8, kPictureWidth, kPictureHeight);
    Image1->setPixmap(QPixmap::fromImage(Picture()));

    Label1 = new QLabel(QString::fromUtf8("Software für Netzwerkgeräte"), this);
    QFont title(QStringLiteral("Tahoma"));
    title.setPixelSize(16);
    title.setBold(true);
    Label1->setFont(title);
    Label1->setGeometry(6, 120, 244, 20);

    Label2 = new QLabel(QStringLiteral("Version 1.2"), this);
    QFont version(QStringLiteral("Tahoma"));
    version.setPixelSize(13);
    Label2->setFont(version);
    Label2->setGeometry(88, 145, 120, 16);
}
