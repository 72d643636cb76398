#pragma once

namespace velkaro {

// Registers Velkaro's icon and user guide (":/icons/velkaro.png", ":/help/velkaro/"). The resources
// live in a static library, so a program calls this once before using them.
void initVelkaroResources();

// Registers the tree's node images (":/icons/nodes/<name>.svg"). Safe to call more than once.
void initNodeImageResources();

} // namespace velkaro
