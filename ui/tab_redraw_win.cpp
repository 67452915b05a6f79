// The visible-tab redraw on Windows: paints the planned graphs and strips and installs itself behind graphs_refresh.
#include "core/control_numbers.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/window/window.h"
#include "ui/graph_control.h"
#include "ui/graph_draw.h"
#include "ui/tab_redraw.h"

namespace {

bool main_window_shown() { return window_visible(WIN_MAIN) && window_state(WIN_MAIN) != WINDOW_STATE_MINIMIZED; }

int main_panel_tab() { return panel_tab_selected(PANEL_MAIN); }

}  // namespace

void tab_redraw(int tab) {
    for (const TabDrawStep& step : tab_redraw_plan(tab)) {
        switch (step.kind) {
            case TabDrawKind::GRAPH:
                graph_draw(step.number, step.alpha, step.captions.title, step.captions.value, step.captions.subtitle,
                           step.captions.footer);
                break;
            case TabDrawKind::CPU_STRIP: cpu_temperature_strip_draw(step.number, step.index); break;
            case TabDrawKind::GPU_STRIP: strip_paint_gpu(step.number, step.index); break;
            case TabDrawKind::PING: ping_tab_draw(); break;
        }
    }
}

GraphsRefreshHooks tab_redraw_hooks() {
    return {.main_window_visible = main_window_shown, .shown_tab = main_panel_tab, .draw_tab = tab_redraw};
}
