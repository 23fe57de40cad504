#pragma once

#include <libical/ical.h>
#include <memory>

namespace zento::ical {

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
/// A libical component owned with its subcomponents.
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

} // namespace zento::ical
