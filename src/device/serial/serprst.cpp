#include "device/serial/serprst.h"

namespace zarvik {

void TSerPersistent::EndUpdate() {
    if (m_updateCount > 0) {
        --m_updateCount;
    }
    Changed();
}

void TSerPersistent::Changed() {
    if (m_updateCount == 0 && m_onChange) {
        m_onChange();
    }
}

} // namespace zarvik
