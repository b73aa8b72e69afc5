// Registration of every resource of the program, once.
#include "app/resources/resources.h"

#include "app/resources/menus.h"
#include "app/resources/string_table.h"

#include <mutex>

namespace fotrix {

void RegisterAppResources()
{
    // The platform's tables add rather than replace, and keep entries for the
    // program's life: registering twice would only duplicate rows.
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterAppStrings();
        RegisterAppMenus();
    });
}

}  // namespace fotrix
