#include "SvgReadBack.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTransform>
#include <QXmlStreamReader>

#include <cmath>
#include <utility>

namespace {

// Numbers of a path or transform, in the forms SVG allows between them. It
// keeps its own copy of the text (a shared one, so no cost): callers hand it
// the temporaries of a regular-expression match or an attribute, which a view
// would outlive.
class NumberScanner
{
public:
    explicit NumberScanner(QString text) : m_text(std::move(text)) {}

    bool atEnd()
    {
        skipSeparators();
        return m_at >= m_text.size();
    }
    QChar peek()
    {
        skipSeparators();
        return m_at < m_text.size() ? m_text.at(m_at) : QChar();
    }
    QChar take() { return m_text.at(m_at++); }
    bool number(double* out)
    {
        skipSeparators();
        // sign, digits, point, digits, exponent: the longest run that can
        // belong to one number, which toDouble then judges as a whole.
        qsizetype end = m_at;
        if (end < m_text.size() && (m_text.at(end) == u'-' || m_text.at(end) == u'+'))
            ++end;
        while (end < m_text.size() && (m_text.at(end).isDigit() || m_text.at(end) == u'.'))
            ++end;
        if (end < m_text.size() && (m_text.at(end) == u'e' || m_text.at(end) == u'E')) {
            ++end;
            if (end < m_text.size() && (m_text.at(end) == u'-' || m_text.at(end) == u'+'))
                ++end;
            while (end < m_text.size() && m_text.at(end).isDigit())
                ++end;
        }
        bool ok = false;
        *out = m_text.sliced(m_at, end - m_at).toDouble(&ok);
        m_at = end;
        return ok && std::isfinite(*out);
    }

private:
    void skipSeparators()
    {
        while (m_at < m_text.size() && (m_text.at(m_at).isSpace() || m_text.at(m_at) == u','))
            ++m_at;
    }

    QString m_text;
    qsizetype m_at = 0;
};

double leadingNumber(const QString& text, bool* ok)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?)\\s*(px)?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    *ok = m.hasMatch();
    return *ok ? m.captured(1).toDouble() : 0.0;
}

// The points a path's outline passes through; control points of curves are
// included, which can only widen what is checked.
QString pathPoints(const QString& d, std::vector<QPointF>* points)
{
    NumberScanner s(d);
    QPointF current;
    QPointF start;
    QChar command;
    while (!s.atEnd()) {
        if (s.peek().isLetter())
            command = s.take();
        if (command.isNull())
            return QStringLiteral("a path starts without a command");
        const bool relative = command.isLower();
        const QPointF origin = relative ? current : QPointF();
        double a = 0;
        double b = 0;
        switch (command.toUpper().unicode()) {
        case 'Z':
            current = start;
            command = QChar(); // a number after Z needs a new command
            if (!s.atEnd() && !s.peek().isLetter())
                return QStringLiteral("numbers follow a closed path");
            continue;
        case 'H':
            if (!s.number(&a))
                return QStringLiteral("a bad number in path data");
            current.setX(relative ? current.x() + a : a);
            break;
        case 'V':
            if (!s.number(&a))
                return QStringLiteral("a bad number in path data");
            current.setY(relative ? current.y() + a : a);
            break;
        case 'M':
        case 'L':
        case 'T': {
            if (!s.number(&a) || !s.number(&b))
                return QStringLiteral("a bad point in path data");
            current = origin + QPointF(a, b);
            if (command.toUpper() == u'M') {
                start = current;
                command = relative ? QChar(u'l') : QChar(u'L'); // further pairs are lines
            }
            break;
        }
        case 'C':
        case 'S':
        case 'Q': {
            const int pairs = command.toUpper() == u'C' ? 3 : 2;
            for (int i = 0; i < pairs; ++i) {
                if (!s.number(&a) || !s.number(&b))
                    return QStringLiteral("a bad curve point in path data");
                if (i + 1 < pairs)
                    points->push_back(origin + QPointF(a, b));
            }
            current = origin + QPointF(a, b);
            break;
        }
        default:
            return QStringLiteral("path command %1 is not followed by this reader").arg(command);
        }
        points->push_back(current);
    }
    return {};
}

QString parseTransform(const QString& text, QTransform* out)
{
    static const QRegularExpression item(QStringLiteral("\\s*(matrix|translate|scale|rotate)\\s*\\(([^)]*)\\)\\s*,?"));
    QTransform total;
    qsizetype at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch m =
            item.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch()) {
            if (text.mid(at).trimmed().isEmpty())
                break;
            return QStringLiteral("transform \"%1\" is not followed by this reader").arg(text);
        }
        at = m.capturedEnd(0);
        std::vector<double> v;
        NumberScanner s(m.captured(2));
        for (double n = 0; !s.atEnd();) {
            if (!s.number(&n))
                return QStringLiteral("a bad number in transform \"%1\"").arg(text);
            v.push_back(n);
        }
        const QString kind = m.captured(1);
        QTransform t;
        if (kind == u"matrix" && v.size() == 6)
            t = QTransform(v[0], v[1], v[2], v[3], v[4], v[5]);
        else if (kind == u"translate" && (v.size() == 1 || v.size() == 2))
            t = QTransform::fromTranslate(v[0], v.size() == 2 ? v[1] : 0.0);
        else if (kind == u"scale" && (v.size() == 1 || v.size() == 2))
            t = QTransform::fromScale(v[0], v.size() == 2 ? v[1] : v[0]);
        else if (kind == u"rotate" && (v.size() == 1 || v.size() == 3)) {
            const double cx = v.size() == 3 ? v[1] : 0.0;
            const double cy = v.size() == 3 ? v[2] : 0.0;
            t = QTransform::fromTranslate(-cx, -cy) * QTransform().rotate(v[0]) * QTransform::fromTranslate(cx, cy);
        } else
            return QStringLiteral("transform \"%1\" is not followed by this reader").arg(text);
        // The list applies right to left; QTransform maps row vectors.
        total = t * total;
    }
    *out = total;
    return {};
}

QColor paint(const QString& value)
{
    if (value.isEmpty() || value == u"none")
        return {};
    return QColor::fromString(value);
}

QString geometry(const QXmlStreamAttributes& a, const QString& element, std::vector<QPointF>* points)
{
    const auto num = [&a](const char* name, double* out) {
        bool ok = false;
        *out = leadingNumber(a.value(QLatin1String(name)).toString(), &ok);
        return ok;
    };
    double x = 0, y = 0, w = 0, h = 0;
    if (element == u"path")
        return pathPoints(a.value(QLatin1String("d")).toString(), points);
    if (element == u"rect") {
        if (!num("x", &x) || !num("y", &y) || !num("width", &w) || !num("height", &h))
            return QStringLiteral("a rectangle without its position and size");
        *points = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
        return {};
    }
    if (element == u"ellipse" || element == u"circle") {
        double rx = 0, ry = 0;
        const bool circle = element == u"circle";
        if (!num("cx", &x) || !num("cy", &y) || !num(circle ? "r" : "rx", &rx) || !num(circle ? "r" : "ry", &ry))
            return QStringLiteral("an ellipse without its centre and radii");
        *points = {{x - rx, y - ry}, {x + rx, y - ry}, {x + rx, y + ry}, {x - rx, y + ry}};
        return {};
    }
    if (element == u"line") {
        if (!num("x1", &x) || !num("y1", &y) || !num("x2", &w) || !num("y2", &h))
            return QStringLiteral("a line without its ends");
        *points = {{x, y}, {w, h}};
        return {};
    }
    if (element == u"polyline" || element == u"polygon") {
        NumberScanner s(a.value(QLatin1String("points")).toString());
        while (!s.atEnd()) {
            if (!s.number(&x) || !s.number(&y))
                return QStringLiteral("a bad point in a polyline");
            points->emplace_back(x, y);
        }
        return {};
    }
    if (element == u"text") {
        // The reference point of the text record; a transform of the text's
        // own is how the converter turns it and is not applied.
        if (!num("x", &x) || !num("y", &y))
            return QStringLiteral("a text without its position");
        *points = {{x, y}};
        return {};
    }
    return QStringLiteral("element <%1> is not followed by this reader").arg(element);
}

bool isShape(const QString& element)
{
    static const QStringList shapes = {QStringLiteral("path"),    QStringLiteral("rect"), QStringLiteral("ellipse"),
                                       QStringLiteral("circle"),  QStringLiteral("line"), QStringLiteral("polyline"),
                                       QStringLiteral("polygon"), QStringLiteral("text"), QStringLiteral("image"),
                                       QStringLiteral("use")};
    return shapes.contains(element);
}

} // namespace

SvgPicture readSvg(const QByteArray& svg)
{
    SvgPicture picture;
    QXmlStreamReader xml(svg);
    std::vector<QTransform> groups; // one per open element
    int definitions = 0;            // depth inside <defs> or <clipPath>
    const auto fail = [&picture](const QString& why) {
        if (picture.error.isEmpty())
            picture.error = why;
    };

    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            const QString name = xml.name().toString();
            if (name == u"defs" || name == u"clipPath")
                --definitions;
            if (!groups.empty())
                groups.pop_back();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        const QXmlStreamAttributes a = xml.attributes();
        QTransform own;
        if (a.hasAttribute(QLatin1String("transform")) && name != u"text") {
            if (const QString why = parseTransform(a.value(QLatin1String("transform")).toString(), &own);
                !why.isEmpty())
                fail(why);
        }
        const QTransform inherited = groups.empty() ? QTransform() : groups.back();

        if (name == u"svg" && groups.empty()) {
            bool wOk = false, hOk = false;
            picture.size = QSizeF(leadingNumber(a.value(QLatin1String("width")).toString(), &wOk),
                                  leadingNumber(a.value(QLatin1String("height")).toString(), &hOk));
            if (!wOk || !hOk)
                fail(QStringLiteral("the picture's width and height are not plain numbers"));
            picture.viewBox = QRectF(QPointF(0, 0), picture.size);
            QTransform root;
            if (a.hasAttribute(QLatin1String("viewBox"))) {
                NumberScanner s(a.value(QLatin1String("viewBox")).toString());
                double v[4] = {};
                for (double& n : v)
                    if (!s.number(&n))
                        fail(QStringLiteral("a bad viewBox"));
                picture.viewBox = QRectF(v[0], v[1], v[2], v[3]);
                if (picture.viewBox.isEmpty())
                    fail(QStringLiteral("an empty viewBox"));
                else
                    root = QTransform::fromTranslate(-v[0], -v[1]) *
                           QTransform::fromScale(picture.size.width() / v[2], picture.size.height() / v[3]);
            }
            groups.push_back(root);
            continue;
        }
        groups.push_back(own * inherited);
        if (name == u"defs" || name == u"clipPath") {
            ++definitions;
            continue;
        }
        if (!isShape(name))
            continue;
        std::vector<QPointF> points;
        if (const QString why = geometry(a, name, &points); !why.isEmpty()) {
            fail(why);
            continue;
        }
        const QTransform t = groups.back();
        for (QPointF& p : points)
            p = t.map(p);
        if (definitions > 0)
            continue;
        SvgShape shape;
        shape.element = name;
        shape.points = std::move(points);
        // Presentation attributes, or the same properties in a style attribute.
        QHash<QString, QString> style;
        for (const QString& item : a.value(QLatin1String("style")).toString().split(u';', Qt::SkipEmptyParts)) {
            const qsizetype colon = item.indexOf(u':');
            if (colon > 0)
                style.insert(item.left(colon).trimmed(), item.mid(colon + 1).trimmed());
        }
        const auto property = [&a, &style](const QString& key) {
            return a.hasAttribute(key) ? a.value(key).toString().trimmed() : style.value(key);
        };
        shape.stroke = paint(property(QStringLiteral("stroke")));
        shape.stroked = shape.stroke.isValid();
        if (shape.stroked) {
            bool ok = true;
            const QString width = property(QStringLiteral("stroke-width"));
            shape.strokeWidth = width.isEmpty() ? 1.0 : leadingNumber(width, &ok);
            if (!ok)
                fail(QStringLiteral("stroke width \"%1\" is not a plain number").arg(width));
            shape.strokeWidth *= std::sqrt(std::abs(t.determinant()));
        }
        shape.fill = paint(property(QStringLiteral("fill")));
        picture.shapes.push_back(std::move(shape));
    }
    if (xml.hasError())
        fail(QStringLiteral("not well-formed XML: %1").arg(xml.errorString()));
    if (picture.size.isEmpty())
        fail(QStringLiteral("the picture has no size"));
    return picture;
}

QByteArray convertWithEmf2Svg(const QByteArray& emf, QString* error)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv"));
    if (program.isEmpty()) {
        *error =
            QStringLiteral("emf2svg-conv is not on the PATH; scripts/install-deps.sh installs it (package emf2svg)");
        return {};
    }
    QTemporaryDir dir;
    QFile in(dir.filePath(QStringLiteral("picture.emf")));
    if (!dir.isValid() || !in.open(QIODevice::WriteOnly) || in.write(emf) != emf.size()) {
        *error = QStringLiteral("the metafile could not be written for the converter");
        return {};
    }
    in.close();
    const QString out = dir.filePath(QStringLiteral("picture.svg"));
    QProcess converter;
    converter.setProcessChannelMode(QProcess::MergedChannels);
    converter.start(program, {QStringLiteral("-i"), in.fileName(), QStringLiteral("-o"), out});
    if (!converter.waitForFinished(60000)) {
        converter.kill();
        converter.waitForFinished();
        *error = QStringLiteral("emf2svg-conv did not finish: %1").arg(converter.errorString());
        return {};
    }
    if (converter.exitStatus() != QProcess::NormalExit || converter.exitCode() != 0) {
        *error = QStringLiteral("emf2svg-conv failed with code %1: %2")
                     .arg(converter.exitCode())
                     .arg(QString::fromLocal8Bit(converter.readAll()));
        return {};
    }
    QFile svg(out);
    if (!svg.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("emf2svg-conv wrote no picture");
        return {};
    }
    return svg.readAll();
}
