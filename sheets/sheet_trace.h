#pragma once

class QTabWidget;

// Tests of the whole program: where the tabs and the controls of the page on show are on the
// screen, one "sheet-tab<TAB>index<TAB>x<TAB>y" line per tab and one "sheet<TAB>id<TAB>x<TAB>y"
// line per visible control with an id (centres, root-window pixels), then "sheet-shown". Nothing
// is written unless tracing is on.
void TraceSheetControls(const QTabWidget &pages);
