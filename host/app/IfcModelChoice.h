#pragma once
// Which of the project's building models a revision revises, and how its elements are made.
#include "host/ifc/building/IfcElementMaker.h"
#include "host/model/HostModel.h"

#include <optional>
#include <string>

// `name` (UTF-8), or without one the project's only model or the one last read from a file of
// the same name as `path`. Fills `options` for it. None, with `error`, when no model fits; an
// empty choice (nullopt without error) for a project that names no model.
std::optional<size_t> ChooseRevisedModel(const HostModel& model, const std::string& path, const std::string& name,
                                         IfcModelOptions& options, std::string& error);
// The layer name prefix of a model added beside the first ("ARCH: ", 8-bit).
std::string ModelLayerPrefix(const std::string& name);
// The model's name a file gives by default: its name without the extension (UTF-8).
std::string ModelNameOfPath(const std::string& path);
