#include "shell/ModuleObjects.h"

ModuleObjects& Module() {
    static ModuleObjects objects;
    return objects;
}
