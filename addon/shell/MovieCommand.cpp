#include "shell/MovieCommand.h"

#include "resources/AddonResources.h"

// The movie run is wired in with the movie production work; until then the command says
// plainly that no movie was made.
void MakeAnimationCommand() { AddonAlert(32525); }
