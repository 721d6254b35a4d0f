#include "objects/core/page_marks.h"

namespace zx {

PageMarks markPage(std::span<const FieldAnswer> fields, std::span<const ButtonAnswer> buttons,
                   std::span<const DragAnswer> drags)
{
    PageMarks page;
    auto take = [&page](std::vector<ObjectMarks>& list, ObjectMarks marks) {
        page.totals.add(marks);
        ++page.totals.items;
        list.push_back(std::move(marks));
    };
    for (const FieldAnswer& f : fields)
        take(page.fields, markField(f.record, f.typed));
    for (const ButtonAnswer& b : buttons)
        take(page.buttons, markButton(b.record, b.state));
    for (const DragAnswer& d : drags)
        take(page.drags, markDrag(d.record, d.placedIndex));
    return page;
}

} // namespace zx
