#pragma once

#include "EmfDocument.h"

#include <uemf.h>

#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <optional>

// The player's inner workings, shared by its drawing and its text parts.
namespace emfdoc::detail {

// Bounds on what a hostile file can make the player ask of Qt.
constexpr double kMaxPenWidth = 1.0e4; // QPen refuses widths from 32768 on
constexpr double kMaxFontPixels = 4096.0;
constexpr double kMaxTextStretch = 8.0;
// A glyph (size times stretch) larger than this draws nothing a reader could
// use and costs Qt's glyph cache memory by the square of its size.
constexpr double kMaxGlyphPixels = 1024.0;
constexpr std::size_t kMaxSavedStates = 1024;
constexpr qsizetype kMaxTextUnits = 4096;
// Keeps every width and height of a clip rectangle within an int.
constexpr int kMaxClipCoordinate = 1 << 30;

struct Object
{
    enum Kind { None, Pen, Brush, Font };
    Kind kind = None;
    PenDef pen;
    BrushDef brush;
    FontDef font;
};

// The device context of the file: what is selected and set, by value, so that
// deleting an object leaves the selection as it was.
struct DcState
{
    PenDef pen{U_PS_SOLID, 0, Qt::black};
    BrushDef brush{U_BS_SOLID, Qt::white, 0};
    FontDef font;
    QColor textColour = Qt::black;
    QColor backgroundColour = Qt::white;
    uint32_t backgroundMode = U_OPAQUE;
    uint32_t textAlign = U_TA_TOP | U_TA_LEFT;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    std::optional<QRegion> clip; // logical units; none: the whole picture
};

// Replays a document's commands onto a painter, keeping the file's device
// context: selected objects, colours, modes, clip and saved states.
class Player
{
public:
    Player(const Document& doc, QPainter* painter, const QRectF& target);
    void run();

    void operator()(const Poly& c);
    void operator()(const Rectangle& c);
    void operator()(const Text& c);
    void operator()(const CreatePen& c) { store(c.index, Object{Object::Pen, c.pen, {}, {}}); }
    void operator()(const CreateBrush& c) { store(c.index, Object{Object::Brush, {}, c.brush, {}}); }
    void operator()(const CreateFont& c) { store(c.index, Object{Object::Font, {}, {}, c.font}); }
    void operator()(const SelectObject& c);
    void operator()(const DeleteObject& c);
    void operator()(const SetMode& c);
    void operator()(const SetColour& c);
    void operator()(const IntersectClip& c);
    void operator()(const SelectClipRegion& c);
    void operator()(const SaveState&);
    void operator()(const RestoreState& c);

private:
    QPointF map(const QPoint& p) const
    {
        return QPointF(m_target.left() + (p.x() - double(m_bounds.left())) * m_sx,
                       m_target.top() + (p.y() - double(m_bounds.top())) * m_sy);
    }
    QRectF mapRect(const QRect& r) const { return QRectF(map(r.topLeft()), map(QPoint(r.right(), r.bottom()))); }
    void store(uint32_t index, Object object);
    QPen qtPen() const;
    QBrush qtBrush() const;
    // How much the picture's stretch lengthens the text's baseline and its
    // glyphs' height, for the current font's escapement.
    struct TextScale
    {
        double along;
        double across;
    };
    TextScale textScale() const;
    QFont qtFont(const TextScale& scale) const;
    void applyClip();
    QRegion wholePicture() const;

    const Document& m_doc;
    QPainter* m_painter;
    QRectF m_target;
    QRect m_bounds;
    double m_sx;
    double m_sy;
    bool m_callerClips;
    QPainterPath m_callerClip;
    std::vector<Object> m_objects;
    DcState m_dc;
    std::vector<DcState> m_saved;
};

} // namespace emfdoc::detail
