#pragma once

// Registers the compiled-in images, sound and translation. The resource trees
// live in a static library, where nothing would otherwise pull them in.
void initResources();
