// Peekrow's icon: a table seen through a magnifier.
#include "viewer/ui/peekrow_icon.h"

platform::VectorIcon PeekrowIconDrawing() {
    const platform::IconColor ink{60, 60, 70}, paper{250, 250, 245}, teal{20, 130, 140}, rule{150, 150, 165};
    const platform::IconColor glass{200, 235, 235, 200};
    platform::VectorIcon icon;
    icon.Rect(1.5, 1.5, 12, 10, &paper, &ink, 0.8)
        .Rect(1.9, 1.9, 11.2, 2.4, &teal, nullptr)
        .Line(1.9, 6.5, 13.1, 6.5, rule, 0.6)
        .Line(1.9, 9, 13.1, 9, rule, 0.6)
        .Line(6, 4.3, 6, 11.1, rule, 0.6)
        .Line(12.1, 11.6, 15.7, 15.2, ink, 1.6, true)
        .Ellipse(10, 9.5, 3, 3, &glass, &ink, 1.1);
    return icon;
}
