#pragma once
// Reads what a report shows from the controls of the window that prints it and
// from the used-program view, by the controls' names.
#include "link/programrecord.h"
#include "printing/core/reportdata.h"
#include "programs/core/programreference.h"
#include "programs/ui/editorboxes.h"

class QWidget;

namespace velmara {

// The captions, texts and list entries of a channel or stored-series window;
// controls the window does not have stay empty.
ReportWindowData readReportWindow(const QWidget* window);

// The program block: the used-program view given the program, filled but not shown.
// The view is labelled with the texts of view and never shown.
ProgramBlockData readProgramBlock(const ProgramRecord& program, const ProgramReference& reference,
                                  const ProgramViewContext& view, const QLocale& locale);
// The program block from the controls of a used-program view.
ProgramBlockData readProgramView(const QWidget* view);

} // namespace velmara
