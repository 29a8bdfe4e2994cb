#pragma once

// The programme's pictures are compiled into its library, which the linker would
// otherwise leave out of an executable that names none of them.
namespace Resources {
// Registers them; safe to call more than once.
void load();
}
