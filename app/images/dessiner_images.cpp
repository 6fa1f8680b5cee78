// SPDX-License-Identifier: GPL-3.0-or-later
// Orvane — sun-path diagrams.
//
// Draws the four pictures compiled into the program (app/ressources.qrc):
//   attention.png        128 x 128  warning sign beside the mask instructions
//   logo_application.png 120 x 126  window icon: a small sun-path diagram
//   check.png             32 x 32   tick of a checked check box
//   expand-arrow.png      50 x 50   arrow of the drop-down buttons
// and the program's desktop icon, the same logo on square pictures of the hicolor theme's
// sizes (hicolor/<N>x<N>/apps/orvane.png, installed under share/icons).
// Every picture is painted with antialiasing on a transparent ARGB32 image and saved as an
// 8-bit RGBA PNG. Usage: orvane_images <output folder>

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRadialGradient>
#include <QRectF>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace
{

constexpr double pi = 3.14159265358979323846;

// Sizes of the desktop icon in the freedesktop hicolor theme, pixels.
constexpr int icon_sides[] = {16, 22, 24, 32, 48, 64, 128, 256};

double radians(double degrees)
{
    return degrees * pi / 180.0;
}

QImage transparent_image(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Amber warning triangle with rounded corners and a dark exclamation mark.
QImage draw_attention()
{
    QImage image = transparent_image(128, 128);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The rounded triangle is the core triangle widened by a disc: filling the core and
    // stroking it with a round-joined pen of twice the corner radius gives exactly that.
    const QPolygonF core({QPointF(64.0, 22.0), QPointF(114.0, 107.0), QPointF(14.0, 107.0)});
    const double outer_radius = 10.0; // corner radius of the outline, px
    const double border = 5.0;        // width of the darker outline, px

    painter.save();
    painter.setPen(QPen(QColor(0xC2, 0x7C, 0x00), 2.0 * outer_radius, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(QColor(0xC2, 0x7C, 0x00));
    painter.drawPolygon(core);
    painter.restore();

    QLinearGradient amber(0.0, 16.0, 0.0, 112.0);
    amber.setColorAt(0.0, QColor(0xFF, 0xDA, 0x5C));
    amber.setColorAt(1.0, QColor(0xFF, 0xAE, 0x00));
    painter.save();
    painter.setPen(QPen(QBrush(amber), 2.0 * (outer_radius - border), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(amber);
    painter.drawPolygon(core);
    painter.restore();

    // A soft light band along the upper edges gives the sign a little relief.
    painter.save();
    QPainterPath triangle;
    triangle.addPolygon(core);
    triangle.closeSubpath();
    QPainterPathStroker widen;
    widen.setWidth(2.0 * (outer_radius - border));
    widen.setJoinStyle(Qt::RoundJoin);
    const QPainterPath inner = widen.createStroke(triangle).united(triangle);
    QLinearGradient gloss(0.0, 20.0, 0.0, 70.0);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setClipPath(inner);
    painter.fillRect(QRectF(0.0, 0.0, 128.0, 70.0), gloss);
    painter.restore();

    // Exclamation mark: a bar narrowing downwards with rounded ends, then a dot.
    const QColor ink(0x2E, 0x25, 0x16);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    QPainterPath bar;
    const double top = 44.0, bottom = 80.0, half_top = 7.0, half_bottom = 4.5;
    bar.moveTo(64.0 - half_top, top);
    bar.arcTo(QRectF(64.0 - half_top, top - half_top, 2.0 * half_top, 2.0 * half_top), 180.0,
              -180.0);
    bar.lineTo(64.0 + half_bottom, bottom);
    bar.arcTo(
        QRectF(64.0 - half_bottom, bottom - half_bottom, 2.0 * half_bottom, 2.0 * half_bottom), 0.0,
        -180.0);
    bar.closeSubpath();
    painter.drawPath(bar);
    painter.drawEllipse(QPointF(64.0, 94.0), 6.5, 6.5);
    painter.restore();

    return image;
}

// Position of the sun on a polar sky diagram of the given radius, north up and east on the
// right, the zenith at the origin and the horizon on the rim.
// latitude, declination, hour_angle: degrees (hour angle 0 at solar noon, negative in the
// morning).
QPointF sky_point(double latitude, double declination, double hour_angle, double radius)
{
    const double phi = radians(latitude), delta = radians(declination), h = radians(hour_angle);
    const double east = -std::cos(delta) * std::sin(h);
    const double north =
        std::cos(phi) * std::sin(delta) - std::sin(phi) * std::cos(delta) * std::cos(h);
    const double up =
        std::sin(phi) * std::sin(delta) + std::cos(phi) * std::cos(delta) * std::cos(h);
    const double altitude = std::asin(std::max(-1.0, std::min(1.0, up)));
    const double rho = radius * (1.0 - altitude / (pi / 2.0));
    const double horizontal = std::hypot(east, north);
    if (horizontal < 1e-12)
        return QPointF(0.0, 0.0);
    return QPointF(rho * east / horizontal, -rho * north / horizontal);
}

// Half the length of the day as an hour angle, degrees (0 to 180).
double half_day(double latitude, double declination)
{
    const double c = -std::tan(radians(latitude)) * std::tan(radians(declination));
    return std::acos(std::max(-1.0, std::min(1.0, c))) * 180.0 / pi;
}

// The course of the sun from sunrise to sunset on the diagram.
QPolygonF sun_course(double latitude, double declination, double radius)
{
    const double h0 = half_day(latitude, declination);
    QPolygonF course;
    const int samples = 120;
    for (int i = 0; i <= samples; ++i)
        course << sky_point(latitude, declination, -h0 + 2.0 * h0 * i / samples, radius);
    return course;
}

// Points of the rim between two rim points, the short way round (angles on screen).
QPolygonF rim_between(QPointF from, QPointF to, double radius)
{
    const double a = std::atan2(from.y(), from.x());
    double b = std::atan2(to.y(), to.x());
    if (std::fabs(b - a) > pi)
        b += (b < a) ? 2.0 * pi : -2.0 * pi;
    QPolygonF arc;
    const int samples = 30;
    for (int i = 0; i <= samples; ++i) {
        const double t = a + (b - a) * i / samples;
        arc << QPointF(radius * std::cos(t), radius * std::sin(t));
    }
    return arc;
}

// The application logo: a sky disc with its graduations, the band swept by the sun between
// the solstices at 45 degrees north, the course of an equinox day and the sun on it, painted
// in a 120 x 126 frame.
void paint_logo(QPainter &painter)
{
    const QPointF centre(60.0, 59.0);
    const double radius = 55.0; // outer edge of the rim, px
    const double latitude = 45.0, obliquity = 23.44;

    // Soft shadow under the disc.
    painter.save();
    painter.translate(60.0, 119.0);
    painter.scale(1.0, 0.13);
    QRadialGradient shadow(QPointF(0.0, 0.0), 44.0);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 80));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(QPointF(0.0, 0.0), 44.0, 44.0);
    painter.restore();

    painter.save();
    painter.translate(centre);

    // Sky: pale at the zenith, deeper blue towards the horizon.
    const double sky = radius - 2.0;
    QRadialGradient blue(QPointF(0.0, 0.0), sky, QPointF(-12.0, -14.0));
    blue.setColorAt(0.0, QColor(0xF4, 0xFA, 0xFF));
    blue.setColorAt(0.7, QColor(0xC6, 0xE2, 0xFA));
    blue.setColorAt(1.0, QColor(0x8E, 0xC3, 0xF0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(blue);
    painter.drawEllipse(QPointF(0.0, 0.0), sky, sky);

    // Band of the year's courses, from the summer to the winter solstice.
    const QPolygonF summer = sun_course(latitude, obliquity, sky);
    const QPolygonF winter = sun_course(latitude, -obliquity, sky);
    // Summer course, west rim down to the winter sunset, winter course backwards, east rim
    // back up to the summer sunrise.
    QPolygonF band = summer;
    band << rim_between(summer.last(), winter.last(), sky);
    for (int i = winter.size() - 1; i >= 0; --i)
        band << winter.at(i);
    band << rim_between(winter.first(), summer.first(), sky);
    QLinearGradient gold(0.0, -sky, 0.0, sky);
    gold.setColorAt(0.0, QColor(0xFF, 0xF0, 0xB8, 225));
    gold.setColorAt(1.0, QColor(0xFF, 0xD5, 0x6A, 225));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gold);
    painter.drawPolygon(band);

    // Height circles every 30 degrees and the north-south and east-west lines, over the band.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x1E, 0x5F, 0xA8, 70), 1.0));
    painter.drawEllipse(QPointF(0.0, 0.0), sky / 3.0, sky / 3.0);
    painter.drawEllipse(QPointF(0.0, 0.0), 2.0 * sky / 3.0, 2.0 * sky / 3.0);
    painter.drawLine(QPointF(-sky, 0.0), QPointF(sky, 0.0));
    painter.drawLine(QPointF(0.0, -sky), QPointF(0.0, sky));

    // The two solstice courses, thin.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xE6, 0x8A, 0x00, 200), 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.drawPolyline(summer);
    painter.drawPolyline(winter);

    // The equinox course, bold.
    const QPolygonF equinox = sun_course(latitude, 0.0, sky);
    painter.setPen(QPen(QColor(0xE6, 0x51, 0x00), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(equinox);

    // Rim of the disc: the horizon.
    painter.setPen(QPen(QColor(0x1E, 0x5F, 0xA8), 3.0));
    painter.drawEllipse(QPointF(0.0, 0.0), radius - 1.5, radius - 1.5);

    // The sun at ten o'clock in the morning of the equinox day.
    const QPointF sun = sky_point(latitude, 0.0, -30.0, sky);
    QRadialGradient glow(sun, 17.0);
    glow.setColorAt(0.0, QColor(0xFF, 0xE0, 0x66, 230));
    glow.setColorAt(0.45, QColor(0xFF, 0xD0, 0x40, 110));
    glow.setColorAt(1.0, QColor(0xFF, 0xC1, 0x07, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(sun, 17.0, 17.0);
    painter.setPen(QPen(QColor(0xF5, 0x7C, 0x00), 1.8, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const double t = radians(22.5 + 45.0 * i);
        const QPointF d(std::cos(t), std::sin(t));
        painter.drawLine(sun + 10.5 * d, sun + 14.0 * d);
    }
    QRadialGradient disc(sun, 8.0, sun - QPointF(2.0, 2.5));
    disc.setColorAt(0.0, QColor(0xFF, 0xF3, 0xA0));
    disc.setColorAt(1.0, QColor(0xFF, 0xB3, 0x00));
    painter.setBrush(disc);
    painter.setPen(QPen(QColor(0xF5, 0x7C, 0x00), 1.5));
    painter.drawEllipse(sun, 7.5, 7.5);

    painter.restore();
}

QImage draw_logo()
{
    QImage image = transparent_image(120, 126);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint_logo(painter);
    return image;
}

// The desktop icon, side x side pixels: the logo scaled to the full height, centred across.
QImage draw_icon(int side)
{
    QImage image = transparent_image(side, side);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = side / 126.0;
    painter.translate((side - 120.0 * scale) / 2.0, 0.0);
    painter.scale(scale, scale);
    paint_logo(painter);
    return image;
}

// Blue tick for a checked check box.
QImage draw_check()
{
    QImage image = transparent_image(32, 32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    painter.setPen(QPen(QColor(0x15, 0x65, 0xC0), 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const QPointF tick[] = {QPointF(6.5, 16.5), QPointF(13.0, 23.5), QPointF(25.5, 8.5)};
    painter.drawPolyline(tick, 3);
    painter.restore();
    return image;
}

// Dark downward chevron for the drop-down buttons.
QImage draw_expand_arrow()
{
    QImage image = transparent_image(50, 50);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    painter.setPen(QPen(QColor(0x3A, 0x3A, 0x3A), 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const QPointF chevron[] = {QPointF(11.0, 18.0), QPointF(25.0, 32.0), QPointF(39.0, 18.0)};
    painter.drawPolyline(chevron, 3);
    painter.restore();
    return image;
}

bool save(const QImage &image, const QString &folder, const QString &name)
{
    const QString path = folder + QLatin1Char('/') + name;
    if (!QDir().mkpath(QFileInfo(path).path())) {
        QTextStream(stderr) << "cannot create the folder of " << path << '\n';
        return false;
    }
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << ' ' << image.width() << 'x' << image.height() << '\n';
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: orvane_images <output folder>\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool ok = save(draw_attention(), folder, QStringLiteral("attention.png"));
    ok = save(draw_logo(), folder, QStringLiteral("logo_application.png")) && ok;
    ok = save(draw_check(), folder, QStringLiteral("check.png")) && ok;
    ok = save(draw_expand_arrow(), folder, QStringLiteral("expand-arrow.png")) && ok;
    for (const int side : icon_sides)
        ok = save(draw_icon(side), folder,
                  QStringLiteral("hicolor/%1x%1/apps/orvane.png").arg(side)) &&
             ok;
    return ok ? 0 : 1;
}
