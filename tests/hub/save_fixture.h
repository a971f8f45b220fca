#pragma once

#include <filesystem>

#include "res/resource.h"
#include "support/hub_fixture.h"

class SaveTest : public HubTest {};
