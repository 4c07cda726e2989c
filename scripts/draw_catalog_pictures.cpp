// Draws the product catalog's pictures into backup/catalog/ as PNG files.
// They were made once with this program and are kept in the tree; run it again
// only to change them:
//   g++ -std=c++20 -fPIC scripts/draw_catalog_pictures.cpp -o /tmp/draw \
//       $(pkg-config --cflags --libs Qt6Gui) && QT_QPA_PLATFORM=offscreen /tmp/draw backup/catalog
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

QImage canvas(int w, int h, QColor top, QColor bottom) {
    QImage img(w, h, QImage::Format_ARGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(img.rect(), g);
    return img;
}

void begin(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

// 0: a day planner page with rings, a week grid and one day circled.
QImage planner() {
    QImage img = canvas(240, 150, QColor(235, 242, 250), QColor(200, 215, 235));
    QPainter p(&img);
    begin(p);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(40, 18, 160, 120), 6, 6);
    p.setBrush(QColor(190, 40, 40));
    p.drawRoundedRect(QRectF(40, 18, 160, 28), 6, 6);
    p.fillRect(QRectF(41, 36, 158, 10), QColor(190, 40, 40));
    p.setPen(QPen(QColor(60, 60, 60), 3));
    for (int i = 0; i < 5; ++i) p.drawLine(QPointF(62 + i * 29, 10), QPointF(62 + i * 29, 26));
    p.setPen(QPen(QColor(170, 180, 190), 1));
    p.setBrush(QColor(250, 250, 252));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 7; ++c) p.drawRect(QRectF(48 + c * 21, 54 + r * 19, 18, 15));
    p.setPen(QPen(QColor(30, 110, 200), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(109, 71, 24, 21));
    return img;
}

// 1: two folders with an arrow from the one to the other, and a check mark.
QImage backupFolders() {
    QImage img = canvas(250, 160, QColor(232, 245, 235), QColor(190, 225, 200));
    QPainter p(&img);
    begin(p);
    auto folder = [&](qreal x, qreal y, QColor c) {
        QPainterPath path;
        path.moveTo(x, y + 10);
        path.lineTo(x + 25, y + 10);
        path.lineTo(x + 32, y);
        path.lineTo(x + 70, y);
        path.lineTo(x + 70, y + 60);
        path.lineTo(x, y + 60);
        path.closeSubpath();
        p.setPen(QPen(c.darker(160), 1.5));
        p.setBrush(c);
        p.drawPath(path);
        p.fillRect(QRectF(x + 2, y + 20, 66, 38), c.lighter(120));
    };
    folder(20, 50, QColor(240, 200, 90));
    folder(160, 50, QColor(110, 170, 230));
    p.setPen(QPen(QColor(40, 120, 60), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(100, 80), QPointF(145, 80));
    p.setBrush(QColor(40, 120, 60));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(142, 66), QPointF(158, 80), QPointF(142, 94)}));
    p.setPen(QPen(QColor(20, 140, 40), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(180, 25), QPointF(192, 38), QPointF(216, 12)}));
    return img;
}

// 2: an open account book with ruled columns and a pile of coins.
QImage ledger() {
    QImage img = canvas(230, 150, QColor(250, 244, 230), QColor(225, 210, 180));
    QPainter p(&img);
    begin(p);
    p.setPen(QPen(QColor(100, 70, 40), 1.5));
    p.setBrush(QColor(255, 252, 240));
    p.drawRect(QRectF(20, 25, 80, 105));
    p.drawRect(QRectF(100, 25, 80, 105));
    p.setPen(QPen(QColor(150, 180, 210), 1));
    for (int y = 40; y < 125; y += 9) {
        p.drawLine(QPointF(24, y), QPointF(96, y));
        p.drawLine(QPointF(104, y), QPointF(176, y));
    }
    p.setPen(QPen(QColor(200, 80, 80), 1));
    p.drawLine(QPointF(75, 28), QPointF(75, 127));
    p.drawLine(QPointF(155, 28), QPointF(155, 127));
    for (int i = 0; i < 5; ++i) {
        p.setPen(QPen(QColor(140, 100, 20), 1));
        p.setBrush(QColor(230, 185, 60));
        p.drawEllipse(QRectF(178, 112 - i * 8, 40, 14));
    }
    return img;
}

// 3: a clock face beside a small bar chart.
QImage timesheet() {
    QImage img = canvas(240, 150, QColor(240, 238, 250), QColor(205, 200, 235));
    QPainter p(&img);
    begin(p);
    p.setPen(QPen(QColor(60, 50, 120), 3));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(70, 78), 50, 50);
    p.setPen(QPen(QColor(60, 50, 120), 2));
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        p.drawLine(QPointF(70 + 42 * std::cos(a), 78 + 42 * std::sin(a)),
                   QPointF(70 + 47 * std::cos(a), 78 + 47 * std::sin(a)));
    }
    p.setPen(QPen(QColor(30, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(70, 78), QPointF(70, 45));
    p.drawLine(QPointF(70, 78), QPointF(95, 90));
    const int heights[5] = {40, 70, 55, 90, 30};
    for (int i = 0; i < 5; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90 + i * 25, 80, 200 - i * 20));
        p.drawRect(QRectF(140 + i * 18, 128 - heights[i], 13, heights[i]));
    }
    return img;
}

// 4: three notes pinned at different angles, with scribbled lines.
QImage notes() {
    QImage img = canvas(230, 160, QColor(245, 245, 245), QColor(215, 215, 220));
    QPainter p(&img);
    begin(p);
    const QColor colours[3] = {QColor(255, 235, 120), QColor(170, 230, 160), QColor(255, 180, 190)};
    const qreal angles[3] = {-8, 5, -3};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(55 + i * 60, 80 + (i % 2) * 10);
        p.rotate(angles[i]);
        p.setPen(QPen(colours[i].darker(140), 1));
        p.setBrush(colours[i]);
        p.drawRect(QRectF(-35, -45, 70, 80));
        p.setPen(QPen(QColor(80, 80, 80), 1.5));
        for (int l = 0; l < 4; ++l) p.drawLine(QPointF(-26, -28 + l * 14), QPointF(22 - (l % 2) * 12, -28 + l * 14));
        p.setBrush(QColor(200, 40, 40));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(0, -40), 4, 4);
        p.restore();
    }
    return img;
}

// 5: two overlapping pages under a magnifying glass.
QImage duplicates() {
    QImage img = canvas(240, 150, QColor(235, 245, 248), QColor(195, 220, 228));
    QPainter p(&img);
    begin(p);
    for (int i = 0; i < 2; ++i) {
        const QRectF page(45 + i * 40, 20 + i * 15, 75, 95);
        p.setPen(QPen(QColor(90, 110, 120), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(page);
        p.setPen(QPen(QColor(160, 170, 180), 2));
        for (int l = 0; l < 6; ++l)
            p.drawLine(QPointF(page.left() + 10, page.top() + 15 + l * 12),
                       QPointF(page.right() - 10, page.top() + 15 + l * 12));
    }
    p.setPen(QPen(QColor(60, 60, 70), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(185, 110), QPointF(215, 140));
    p.setPen(QPen(QColor(60, 60, 70), 5));
    p.setBrush(QColor(200, 230, 255, 140));
    p.drawEllipse(QPointF(165, 88), 30, 30);
    return img;
}

// 6: a framed landscape with hills, a lake and the sun.
QImage pictures() {
    QImage img = canvas(260, 170, QColor(250, 240, 230), QColor(220, 200, 185));
    QPainter p(&img);
    begin(p);
    const QRectF frame(25, 18, 210, 135);
    p.setPen(QPen(QColor(110, 70, 40), 8));
    QLinearGradient sky(0, frame.top(), 0, frame.bottom());
    sky.setColorAt(0, QColor(120, 180, 240));
    sky.setColorAt(1, QColor(220, 240, 255));
    p.setBrush(sky);
    p.drawRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 60));
    p.drawEllipse(QPointF(185, 50), 16, 16);
    p.setBrush(QColor(70, 140, 70));
    p.drawPolygon(QPolygonF({QPointF(30, 140), QPointF(90, 70), QPointF(150, 140)}));
    p.setBrush(QColor(50, 110, 60));
    p.drawPolygon(QPolygonF({QPointF(100, 140), QPointF(160, 85), QPointF(230, 140)}));
    p.setBrush(QColor(80, 150, 210));
    p.drawRect(QRectF(30, 128, 200, 20));
    return img;
}

// 7: letter tiles on a honeycomb.
QImage puzzle() {
    QImage img = canvas(270, 160, QColor(255, 248, 225), QColor(245, 215, 150));
    QPainter p(&img);
    begin(p);
    QFont f = p.font();
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    const char letters[] = "TAMSELCOVX";
    int k = 0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            const qreal cx = 45 + c * 50 + (r % 2) * 25, cy = 35 + r * 43;
            QPolygonF hex;
            for (int i = 0; i < 6; ++i) {
                const double a = (30 + 60 * i) * M_PI / 180;
                hex << QPointF(cx + 25 * std::cos(a), cy + 25 * std::sin(a));
            }
            p.setPen(QPen(QColor(150, 100, 20), 2));
            p.setBrush((r + c) % 3 ? QColor(255, 225, 120) : QColor(250, 180, 60));
            p.drawPolygon(hex);
            p.setPen(QColor(80, 50, 10));
            p.drawText(QRectF(cx - 15, cy - 14, 30, 28), Qt::AlignCenter, QString(QChar(letters[k++ % 10])));
        }
    return img;
}

// 8: rows of keyboard keys with a few lit.
QImage typing() {
    QImage img = canvas(250, 140, QColor(235, 235, 240), QColor(190, 192, 205));
    QPainter p(&img);
    begin(p);
    p.setPen(QPen(QColor(70, 70, 80), 1.5));
    p.setBrush(QColor(90, 92, 105));
    p.drawRoundedRect(QRectF(12, 25, 226, 95), 8, 8);
    for (int r = 0; r < 4; ++r) {
        const int keys = r == 3 ? 1 : 10 - r;
        for (int k = 0; k < keys; ++k) {
            QRectF key = r == 3 ? QRectF(70, 32 + r * 21, 110, 17) : QRectF(22 + r * 9 + k * 21, 32 + r * 21, 17, 17);
            const bool lit = (r == 1 && (k == 3 || k == 6)) || r == 3;
            p.setPen(QPen(QColor(40, 40, 50), 1));
            p.setBrush(lit ? QColor(120, 200, 255) : QColor(240, 240, 245));
            p.drawRoundedRect(key, 3, 3);
        }
    }
    return img;
}

// 9: an address card with a head-and-shoulders outline and an envelope.
QImage addresses() {
    QImage img = canvas(240, 150, QColor(238, 246, 255), QColor(200, 220, 245));
    QPainter p(&img);
    begin(p);
    p.setPen(QPen(QColor(80, 100, 130), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(20, 25, 150, 95), 8, 8);
    p.setBrush(QColor(120, 150, 190));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(60, 60), 15, 15);
    p.drawChord(QRectF(35, 78, 50, 40), 0, 180 * 16);
    p.setPen(QPen(QColor(150, 160, 175), 3, Qt::SolidLine, Qt::RoundCap));
    for (int l = 0; l < 4; ++l) p.drawLine(QPointF(95, 50 + l * 15), QPointF(155 - (l % 2) * 15, 50 + l * 15));
    p.setPen(QPen(QColor(150, 90, 40), 1.5));
    p.setBrush(QColor(250, 230, 190));
    const QRectF env(150, 85, 70, 45);
    p.drawRect(env);
    p.drawPolyline(QPolygonF({env.topLeft(), QPointF(env.center().x(), env.top() + 25), env.topRight()}));
    return img;
}

// 10: the welcome picture, wider and taller than the catalog shows, so the
// window shows its top left part: a sunrise over rolling hills with a kite.
QImage welcome() {
    QImage img = canvas(340, 220, QColor(255, 200, 120), QColor(255, 240, 210));
    QPainter p(&img);
    begin(p);
    QRadialGradient sun(QPointF(170, 150), 90);
    sun.setColorAt(0, QColor(255, 250, 200));
    sun.setColorAt(1, QColor(255, 180, 80, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(170, 150), 90, 90);
    p.setBrush(QColor(255, 230, 120));
    p.drawEllipse(QPointF(170, 150), 30, 30);
    QPainterPath hills;
    hills.moveTo(0, 220);
    hills.lineTo(0, 150);
    hills.cubicTo(80, 110, 140, 190, 220, 150);
    hills.cubicTo(270, 125, 310, 140, 340, 135);
    hills.lineTo(340, 220);
    p.setBrush(QColor(90, 150, 80));
    p.drawPath(hills);
    p.save();
    p.translate(80, 55);
    p.rotate(20);
    p.setBrush(QColor(40, 90, 190));
    p.drawPolygon(QPolygonF({QPointF(0, -25), QPointF(17, 0), QPointF(0, 30), QPointF(-17, 0)}));
    p.restore();
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::NoBrush);
    QPainterPath tail;
    tail.moveTo(72, 82);
    tail.cubicTo(60, 110, 100, 120, 90, 160);
    p.drawPath(tail);
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QImage images[11] = {planner(),  backupFolders(), ledger(), timesheet(), notes(),  duplicates(),
                               pictures(), puzzle(),        typing(), addresses(), welcome()};
    for (int i = 0; i < 11; ++i) {
        const QString name = folder + QStringLiteral("/entry%1.png").arg(i, 2, 10, QLatin1Char('0'));
        if (!images[i].save(name, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
