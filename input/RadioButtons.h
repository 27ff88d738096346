#pragma once

#include <QButtonGroup>
#include <QRadioButton>

namespace tv {

// Radio buttons whose checked state the model decides (several may be unchecked at once)
// must not exclude each other by themselves. Turning auto-exclusion off would do that, but
// it also makes assistive technology announce them as check boxes; a non-exclusive group
// of their own keeps them radio buttons.
inline void DecoupleRadioButton(QRadioButton* radio) {
    auto* group = new QButtonGroup(radio);
    group->setExclusive(false);
    group->addButton(radio);
}

} // namespace tv
