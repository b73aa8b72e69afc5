#include "app/shell/app_state.h"

namespace fotrix {

AppState gApp;

}  // namespace fotrix
