#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <vector>

class QPainter;

// One record as the test's own walker sees it, independent of the player.
struct RecordInfo
{
    uint32_t type;
    uint32_t offset;
    uint32_t size;
};

// The records of a well-formed file; fails the current test on a malformed frame.
std::vector<RecordInfo> walkRecords(const QByteArray& file);

template <typename T> T fieldAt(const QByteArray& file, uint32_t offset)
{
    T value{};
    if (offset + sizeof(T) <= static_cast<std::size_t>(file.size()))
        std::memcpy(&value, file.constData() + offset, sizeof(T));
    return value;
}

template <typename T> void setFieldAt(QByteArray& file, uint32_t offset, T value)
{
    std::memcpy(file.data() + offset, &value, sizeof(T));
}

// A file of the given records between a header (bounds 0..99 both ways) and
// an end-of-file record, its object table handles entries long.
QByteArray craft(const std::vector<QByteArray>& records, uint16_t handles = 4);
// One record of the given type holding words after its type and size.
QByteArray record(uint32_t type, std::initializer_list<uint32_t> words);

// Where a chart-like scene puts things, for the tests to look them up.
struct ChartScene
{
    static constexpr QSize size{790, 522};
    static constexpr QRect plot{60, 30, 600, 440};
    static constexpr int series = 20;
    static constexpr int points = 448;
    static const char* const axisTitle;
    static const char* const valueLabel;
};

// Draws the scene: background, plot frame, grid, every series as one-segment
// lines clipped to the plot, tick labels, a title rotated by -90 degrees and a
// legend of filled boxes. Antialiasing is off so that pixels can be compared.
void drawChartScene(QPainter& painter);

// Paints draw into an EmfPaintDevice of size and returns the finished file.
QByteArray writeEmf(QSize size, const std::function<void(QPainter&)>& draw);
QImage renderDirect(QSize size, const std::function<void(QPainter&)>& draw);
// Loads and plays a file into an image of size, white underneath.
QImage playToImage(const QByteArray& file, QSize size);

// Share of pixels of a whose colour is not found in b at the same place, nor,
// with reach 1, at a neighbouring one (so that a line one pixel off counts as
// present); checked both ways.
double differingShare(const QImage& a, const QImage& b, int reach = 0);
// The worst such share over square tiles: a missing label or line fails its
// tile even where the whole picture would hide it.
double worstTile(const QImage& a, const QImage& b, int reach = 1, int tile = 16);
