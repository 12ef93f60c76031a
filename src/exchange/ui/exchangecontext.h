#pragma once
// What the export and import of series need from the running program.
#include <QLocale>
#include <QString>

#include <functional>

namespace velmara {

class UserStores;

// A file or folder the user picks (a common file dialog in the program, a
// fixed path in tests). An empty answer: the user cancelled.
struct PathRequest {
    enum class Kind { OpenFile, SaveFile, Folder };
    Kind kind = Kind::OpenFile;
    QString filter;        // "CSV (*.csv)"
    QString suggestedName; // for SaveFile
};

class Prompter;

struct ExchangeContext {
    UserStores* stores = nullptr; // the user file's stores (null: no user file)
    std::function<QString(const QString& key)> text;
    std::function<QString(const PathRequest& request)> askPath;
    QLocale locale;   // the separator and decimal mark of "as set in the system"
    QString language; // the program's language ("de", "en"): the words of a written file
    // Runs the dialogs and shows the messages; without one nothing is exchanged.
    Prompter* prompter = nullptr;
};

} // namespace velmara
