#pragma once
// Datei > Exportieren and Datei > Importieren for series: the dialogs, the file
// pickers and the messages around the CSV core.
#include "exchange/ui/exchangecontext.h"

class QWidget;

namespace velmara {

// Asks which series and where, writes one file per series. True when files
// were written.
bool runSeriesExport(const ExchangeContext& context, QWidget* parent);

// Asks for a file and the battery; stores the series. A file that is not an
// exported series is refused with a message before anything is written. True
// when a series was stored.
bool runSeriesImport(const ExchangeContext& context, QWidget* parent);

} // namespace velmara
