// The arithmetic of the system queries that needs no Windows.
#include "core/system_query.h"

#include "runtime/gui/dpi/dpi_units.h"

WorkAreaUnits work_area_units(int left, int top, int right, int bottom, int dpi) {
    return WorkAreaUnits{dpi_unscale(left, dpi), dpi_unscale(top, dpi), dpi_unscale(right, dpi),
                         dpi_unscale(bottom, dpi)};
}
