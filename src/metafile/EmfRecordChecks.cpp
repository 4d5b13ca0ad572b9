#include "EmfRecordChecks.h"

#include <cstddef>

namespace emfdoc::detail {

// libUEMF has a check for every record type except those it never
// implemented; for those it would only print a warning.
bool libraryChecks(uint32_t type)
{
    if (type < U_EMR_MIN || type > U_EMR_MAX)
        return false;
    switch (type) {
    case U_EMR_UNDEF69:
    case U_EMR_POLYTEXTOUTA:
    case U_EMR_POLYTEXTOUTW:
    case U_EMR_GLSRECORD:
    case U_EMR_GLSBOUNDEDRECORD:
    case U_EMR_DRAWESCAPE:
    case U_EMR_EXTESCAPE:
    case U_EMR_UNDEF107:
    case U_EMR_FORCEUFIMAPPING:
    case U_EMR_NAMEDESCAPE:
    case U_EMR_COLORCORRECTPALETTE:
    case U_EMR_SETICMPROFILEA:
    case U_EMR_SETICMPROFILEW:
    case U_EMR_UNDEF117:
    case U_EMR_SETLINKEDUFIS:
    case U_EMR_SETTEXTJUSTIFICATION:
    case U_EMR_COLORMATCHTOTARGETW:
        return false;
    default:
        return true;
    }
}

// libUEMF's text check reads the Dx offset before it knows the offset lies in
// the record; make sure it does before handing the record over.
bool textCoreIsWhole(const Record& r)
{
    if (r.size() < sizeof(U_EMREXTTEXTOUTW))
        return false;
    const auto options = r.get<uint32_t>(offsetof(U_EMREXTTEXTOUTW, emrtext) + offsetof(U_EMRTEXT, fOptions));
    const uint64_t dxOffsetAt = sizeof(U_EMREXTTEXTOUTW) + ((options & U_ETO_NO_RECT) ? 0 : sizeof(U_RECTL));
    return r.has(dxOffsetAt, sizeof(uint32_t));
}

// libUEMF's pen check adds up the offsets and sizes of the pen's bitmap and
// its style entries in 32 bits, where a hostile record can make them wrap;
// make sure they lie in the record before handing it over.
bool penIsWhole(const Record& r)
{
    if (r.size() < U_SIZE_EMREXTCREATEPEN)
        return false;
    const auto within = [&r](uint32_t offset, uint32_t length) { return length == 0 || r.has(offset, length); };
    constexpr uint64_t entriesAt = offsetof(U_EMREXTCREATEPEN, elp) + offsetof(U_EXTLOGPEN, elpStyleEntry);
    const auto entries = r.get<uint32_t>(offsetof(U_EMREXTCREATEPEN, elp) + offsetof(U_EXTLOGPEN, elpNumEntries));
    return within(r.get<uint32_t>(offsetof(U_EMREXTCREATEPEN, offBmi)),
                  r.get<uint32_t>(offsetof(U_EMREXTCREATEPEN, cbBmi))) &&
           within(r.get<uint32_t>(offsetof(U_EMREXTCREATEPEN, offBits)),
                  r.get<uint32_t>(offsetof(U_EMREXTCREATEPEN, cbBits))) &&
           r.has(entriesAt, uint64_t{entries} * sizeof(U_STYLEENTRY));
}

} // namespace emfdoc::detail
