#pragma once

int looseValue();
