#include "store/Alerte.h"

#include <cassert>

namespace zento {

std::string& Alerte::field(int k) {
    return const_cast<std::string&>(static_cast<const Alerte*>(this)->field(k));
}

const std::string& Alerte::field(int k) const {
    switch (k) {
    case 1:
        return Message;
    case 2:
        return AlertDate;
    case 3:
        return Recurrence;
    case 4:
        return Emoticon;
    case 5:
        return Sound;
    case 6:
        return BackColor;
    case 7:
        return ForeColor;
    case 8:
        return AlertTime;
    case 9:
        return LoopSound;
    default:
        assert(k == 10);
        return Action;
    }
}

} // namespace zento
