#include "app/handlers.h"

namespace ld::app {

// The draw engine, level selection and forfeit register their routines here.
void RegisterDrawRoutines(HandlerTable&) {}

}  // namespace ld::app
