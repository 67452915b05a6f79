// The tables of control-event handlers by control number.
#include "core/control_handlers.h"

#include <gtest/gtest.h>

namespace {

int last_handler = 0;
void first_handler(const GuiEvent&) { last_handler = 1; }
void second_handler(const GuiEvent&) { last_handler = 2; }

TEST(ControlHandlers, ControlsFindTheirHandlerAndTheLastAddedWins) {
    control_handlers_clear();
    control_handler_add(301, 399, first_handler);
    control_handler_add(112, 112, first_handler);
    control_handler_add(112, 112, second_handler);  // a later part takes the control over
    EXPECT_EQ(control_handler_find(301), first_handler);
    EXPECT_EQ(control_handler_find(399), first_handler);
    EXPECT_EQ(control_handler_find(400), nullptr);
    EXPECT_EQ(control_handler_find(112), second_handler);
    GuiEvent event;
    control_handler_find(112)(event);
    EXPECT_EQ(last_handler, 2);
    control_handlers_clear();
    EXPECT_EQ(control_handler_find(301), nullptr);
}

}  // namespace
