#pragma once
// What the shell calls of the other parts of the program that are not
// commands: the resources, the options sheet, the start screen and the
// script driver.
#include "app/options/options_sheet.h"
#include "app/resources/resource_ids.h"
#include "app/resources/resources.h"
#include "app/script/script.h"
#include "app/startscreen/start_screen.h"
