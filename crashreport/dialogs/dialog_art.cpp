#include "crashreport/dialogs/dialog_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace faulttrap {
namespace {

QPixmap Blank(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    return picture;
}

void Page(QPainter& painter, const QColor& fold) {
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(10.5, 0.5);
    sheet.lineTo(13.5, 3.5);
    sheet.lineTo(13.5, 15.5);
    sheet.lineTo(2.5, 15.5);
    sheet.closeSubpath();
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet);
    painter.setBrush(fold);
    painter.drawPolygon(QPolygonF({{10.5, 0.5}, {10.5, 3.5}, {13.5, 3.5}}));
}

} // namespace

QPixmap ErrorPicture() {
    QPixmap picture = Blank(32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient fill(QPointF(12, 10), 20);
    fill.setColorAt(0, QColor(255, 120, 110));
    fill.setColorAt(1, QColor(190, 20, 20));
    painter.setPen(QPen(QColor(120, 0, 0), 1.2));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    painter.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
    painter.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
    return picture;
}

QPixmap SendPicture() {
    QPixmap picture = Blank(32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient paper(0, 8, 0, 28);
    paper.setColorAt(0, QColor(255, 255, 250));
    paper.setColorAt(1, QColor(225, 222, 210));
    painter.setPen(QPen(QColor(80, 80, 80), 1));
    painter.setBrush(paper);
    painter.drawRect(QRectF(2.5, 9.5, 24, 17));
    painter.drawPolyline(QPolygonF({{2.5, 9.5}, {14.5, 19.5}, {26.5, 9.5}}));
    // The arrow that carries it away.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 120, 40));
    painter.drawPolygon(
        QPolygonF({{18, 3}, {25, 3}, {25, 0.5}, {31, 5.5}, {25, 10.5}, {25, 8}, {18, 8}}));
    return picture;
}

QPixmap RowPicture(RowIcon icon) {
    QPixmap picture = Blank(16);
    if (icon == RowIcon::None) {
        return picture;
    }
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (icon) {
    case RowIcon::Library: {
        Page(painter, QColor(200, 200, 200));
        painter.setPen(QPen(QColor(60, 90, 160), 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(5, 7, 6, 6));
        painter.drawPoint(QPointF(8, 10));
        break;
    }
    case RowIcon::Package: {
        painter.setPen(QColor(110, 70, 20));
        painter.setBrush(QColor(220, 170, 90));
        painter.drawRect(QRectF(1.5, 5.5, 13, 9));
        painter.setBrush(QColor(240, 200, 130));
        painter.drawPolygon(QPolygonF({{1.5, 5.5}, {4.5, 1.5}, {11.5, 1.5}, {14.5, 5.5}}));
        painter.drawLine(QPointF(8, 5.5), QPointF(8, 14.5));
        break;
    }
    case RowIcon::Executable: {
        painter.setPen(QColor(40, 60, 110));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(0.5, 2.5, 15, 12));
        painter.fillRect(QRectF(1, 3, 14, 3), QColor(50, 100, 190));
        painter.fillRect(QRectF(3, 8, 6, 1), QColor(150, 150, 150));
        painter.fillRect(QRectF(3, 10, 9, 1), QColor(150, 150, 150));
        break;
    }
    case RowIcon::SourceUnit: {
        Page(painter, QColor(230, 230, 180));
        painter.setPen(QColor(0, 100, 0));
        for (int y = 5; y <= 13; y += 2) {
            painter.drawLine(QPointF(4.5, y + 0.5), QPointF(y % 4 == 1 ? 11.5 : 9.5, y + 0.5));
        }
        break;
    }
    case RowIcon::None:
        break;
    }
    return picture;
}

QPixmap GroupSign(bool expanded) {
    QPixmap picture = Blank(13);
    QPainter painter(&picture);
    QLinearGradient face(0, 0, 0, 13);
    face.setColorAt(0, Qt::white);
    face.setColorAt(1, QColor(220, 220, 220));
    painter.setPen(QColor(120, 140, 170));
    painter.setBrush(face);
    painter.drawRect(0, 0, 12, 12);
    painter.setPen(Qt::black);
    painter.drawLine(3, 6, 9, 6);
    if (!expanded) {
        painter.drawLine(6, 3, 6, 9);
    }
    return picture;
}

} // namespace faulttrap
