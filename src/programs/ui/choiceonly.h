#pragma once
// Lists that can only be chosen from: typed characters do not pick an entry
// (arrow keys and the mouse still do).
class QComboBox;

namespace velmara {

void ignoreTypedKeys(QComboBox* list);

} // namespace velmara
