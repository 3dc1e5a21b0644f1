#include "shell/MovieCommand.h"

#include "movie/AnimationRunner.h"
#include "shell/ModuleObjects.h"

void MakeAnimationCommand() { MakeAnimation(Module().taskDB, Module().elementHider); }
