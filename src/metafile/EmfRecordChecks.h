#pragma once

#include <QColor>
#include <QRect>

#include <uemf.h>

#include <cstdint>
#include <cstring>

// The frame of a record as the metafile reader sees it, and the checks a
// record must pass before libUEMF's own record check may look at it.
namespace emfdoc::detail {

// One record already known to lie whole within the file. Every read is
// bounded by the record's size; a field outside it reads as zero, but the
// decoders check sizes first and refuse such a record.
class Record
{
public:
    Record(const char* data, uint32_t size) : m_data(data), m_size(size) {}

    uint32_t size() const { return m_size; }
    const char* data() const { return m_data; }
    bool has(uint64_t offset, uint64_t length) const { return offset <= m_size && length <= m_size - offset; }

    template <typename T> T get(uint64_t offset) const
    {
        T value{};
        if (has(offset, sizeof(T)))
            std::memcpy(&value, m_data + offset, sizeof(T));
        return value;
    }
    QRect rect(uint64_t offset) const
    {
        return QRect(QPoint(get<int32_t>(offset), get<int32_t>(offset + 4)),
                     QPoint(get<int32_t>(offset + 8), get<int32_t>(offset + 12)));
    }
    QColor colour(uint64_t offset) const
    {
        const auto c = get<U_COLORREF>(offset);
        return QColor(c.Red, c.Green, c.Blue);
    }

private:
    const char* m_data;
    uint32_t m_size;
};

// Whether libUEMF has a check for records of this type.
bool libraryChecks(uint32_t type);
// Whether a text record holds the fields libUEMF's check reads unchecked.
bool textCoreIsWhole(const Record& r);
// Whether a pen record's bitmap and style entries lie within it.
bool penIsWhole(const Record& r);

} // namespace emfdoc::detail
