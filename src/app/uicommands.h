#pragma once
// A hook for scripts that take pictures of the program on a virtual display
// (scripts/screenshots): with VELMARA_UI_COMMANDS=1 the program reads commands
// from its standard input, one a line, and works its controls by object name.
// Off otherwise.
//
//   click NAME            clicks the button or triggers the menu entry NAME
//   settext NAME TEXT     puts TEXT into the line or text edit NAME
//   select NAME ROW       selects row ROW of the table, list or drop-down list NAME
//   activate NAME ROW     double-clicks row ROW of the list NAME
//   answer yes|no|ok      answers the message box in front
//   accept / reject       accepts or rejects the dialog in front
//   tell NAME             writes "NAME<tab>TEXT" to standard output: the text of
//                         the label NAME while it is shown, else nothing
// NAME may be WINDOW/NAME: the control NAME inside the window WINDOW.
//   close NAME            closes the window NAME
//   raise NAME            brings the window NAME to the front
class QObject;

namespace velmara {

// Starts reading standard input when the variable is set; parent owns the reader.
void startUiCommands(QObject* parent);

} // namespace velmara
