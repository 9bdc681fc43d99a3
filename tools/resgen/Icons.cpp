// The program's icon: three photo cards fanned out on a dusky rounded
// square, the collage motif of the splash. One description of the shapes
// gives both the PNG sizes of the icon theme (drawn with QPainter) and the
// scalable SVG (written as text), so the two always agree.

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <sstream>

#include "Art.h"
#include "Library.h"

namespace resgen {

namespace {

constexpr double kUnits = 256; // the icon's design grid

struct TCard {
    double Cx, Cy, Angle; // centre and rotation in degrees
    QColor SkyTop, SkyBottom, Sun, Hill;
};

// Polaroid-style card: 104 x 120 units, the photo inset 8 units with a
// deeper margin below.
constexpr double kCardW = 104, kCardH = 120, kInset = 8, kPhotoH = 84;

const TCard kCards[] = {
    {96, 118, -14, QColor(0x2f6fc0), QColor(0xbcd8f0), QColor(0xfff6dc), QColor(0x2e5a3a)},
    {160, 122, 11, QColor(0x4a2f6e), QColor(0xffb070), QColor(0xfff0c0), QColor(0x6a3a5a)},
    {126, 150, -2, QColor(0x5aa8e0), QColor(0xd8f0f0), QColor(0xffffff), QColor(0xe0cc9a)},
};

const QColor kBackTop(0x2b3a6e), kBackBottom(0x6a2f6b), kPaper(0xfdfcf8);

// The hill in photo coordinates (0..1 across, 0..1 down): one soft rise.
QPainterPath Hill(const QRectF& photo) {
    QPainterPath p;
    const double x = photo.left(), y = photo.top(), w = photo.width(), h = photo.height();
    p.moveTo(x, y + h * 0.72);
    p.quadTo(x + w * 0.30, y + h * 0.48, x + w * 0.58, y + h * 0.66);
    p.quadTo(x + w * 0.80, y + h * 0.78, x + w, y + h * 0.60);
    p.lineTo(x + w, y + h);
    p.lineTo(x, y + h);
    p.closeSubpath();
    return p;
}

QRectF PhotoRect() {
    return {-kCardW / 2 + kInset, -kCardH / 2 + kInset, kCardW - 2 * kInset, kPhotoH};
}

QPointF SunCentre(const QRectF& photo) {
    return {photo.left() + photo.width() * 0.70, photo.top() + photo.height() * 0.30};
}

std::string Hex(const QColor& c) {
    return c.name(QColor::HexRgb).toStdString();
}

std::string PathData(const QPainterPath& path) {
    std::ostringstream d;
    d.precision(5);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            d << "M" << e.x << " " << e.y << " ";
            break;
        case QPainterPath::LineToElement:
            d << "L" << e.x << " " << e.y << " ";
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1), to = path.elementAt(i + 2);
            d << "C" << e.x << " " << e.y << " " << c2.x << " " << c2.y << " " << to.x << " " << to.y << " ";
            i += 2;
            break;
        }
        default:
            break;
        }
    }
    return d.str() + "Z";
}

QImage DrawIcon(int size) {
    QImage img = NewArt(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kUnits, size / kUnits);
    QLinearGradient back(QPointF(16, 16), QPointF(240, 240));
    back.setColorAt(0, kBackTop);
    back.setColorAt(1, kBackBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 44, 44);
    for (const TCard& c : kCards) {
        p.save();
        p.translate(c.Cx, c.Cy);
        p.rotate(c.Angle);
        const QRectF card(-kCardW / 2, -kCardH / 2, kCardW, kCardH);
        p.setBrush(QColor(0, 0, 0, 70)); // a soft drop below the card
        p.drawRoundedRect(card.translated(3, 5), 4, 4);
        p.setBrush(kPaper);
        p.drawRoundedRect(card, 4, 4);
        const QRectF photo = PhotoRect();
        QLinearGradient sky(photo.topLeft(), photo.bottomLeft());
        sky.setColorAt(0, c.SkyTop);
        sky.setColorAt(1, c.SkyBottom);
        p.setBrush(sky);
        p.drawRect(photo);
        p.setBrush(c.Sun);
        p.drawEllipse(SunCentre(photo), 9, 9);
        p.setBrush(c.Hill);
        p.drawPath(Hill(photo));
        p.restore();
    }
    return img;
}

std::string IconSvg() {
    std::ostringstream s;
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
      << "  <defs>\n"
      << "    <linearGradient id=\"back\" x1=\"16\" y1=\"16\" x2=\"240\" y2=\"240\" "
         "gradientUnits=\"userSpaceOnUse\">\n"
      << "      <stop offset=\"0\" stop-color=\"" << Hex(kBackTop) << "\"/>\n"
      << "      <stop offset=\"1\" stop-color=\"" << Hex(kBackBottom) << "\"/>\n"
      << "    </linearGradient>\n";
    const QRectF photo = PhotoRect();
    for (size_t i = 0; i < std::size(kCards); ++i) {
        s << "    <linearGradient id=\"sky" << i << "\" x1=\"0\" y1=\"" << photo.top() << "\" x2=\"0\" y2=\""
          << photo.bottom() << "\" gradientUnits=\"userSpaceOnUse\">\n"
          << "      <stop offset=\"0\" stop-color=\"" << Hex(kCards[i].SkyTop) << "\"/>\n"
          << "      <stop offset=\"1\" stop-color=\"" << Hex(kCards[i].SkyBottom) << "\"/>\n"
          << "    </linearGradient>\n";
    }
    s << "  </defs>\n"
      << "  <rect x=\"16\" y=\"16\" width=\"224\" height=\"224\" rx=\"44\" fill=\"url(#back)\"/>\n";
    const QPointF sun = SunCentre(photo);
    for (size_t i = 0; i < std::size(kCards); ++i) {
        const TCard& c = kCards[i];
        s << "  <g transform=\"translate(" << c.Cx << " " << c.Cy << ") rotate(" << c.Angle << ")\">\n"
          << "    <rect x=\"" << -kCardW / 2 + 3 << "\" y=\"" << -kCardH / 2 + 5 << "\" width=\"" << kCardW
          << "\" height=\"" << kCardH << "\" rx=\"4\" fill=\"#000000\" fill-opacity=\"0.27\"/>\n"
          << "    <rect x=\"" << -kCardW / 2 << "\" y=\"" << -kCardH / 2 << "\" width=\"" << kCardW
          << "\" height=\"" << kCardH << "\" rx=\"4\" fill=\"" << Hex(kPaper) << "\"/>\n"
          << "    <rect x=\"" << photo.left() << "\" y=\"" << photo.top() << "\" width=\"" << photo.width()
          << "\" height=\"" << photo.height() << "\" fill=\"url(#sky" << i << ")\"/>\n"
          << "    <circle cx=\"" << sun.x() << "\" cy=\"" << sun.y() << "\" r=\"9\" fill=\"" << Hex(c.Sun)
          << "\"/>\n"
          << "    <path d=\"" << PathData(Hill(photo)) << "\" fill=\"" << Hex(c.Hill) << "\"/>\n"
          << "  </g>\n";
    }
    s << "</svg>\n";
    return s.str();
}

} // namespace

void AddIcons(TCatalogue& items) {
    for (const int size : kIconSizes) {
        const std::string px = std::to_string(size);
        const std::string path = "icons/hicolor/" + px + "x" + px + "/apps/" + kApplicationId + ".png";
        items.push_back({path, [path, size] {
                             return std::vector<TPicture>{{path, TFormat::Png, DrawIcon(size)}};
                         }});
    }
    const std::string svg = std::string("icons/hicolor/scalable/apps/") + kApplicationId + ".svg";
    items.push_back({svg, [svg] {
                         return std::vector<TPicture>{{svg, TFormat::Svg, {}, 0, IconSvg()}};
                     }});
}

} // namespace resgen
