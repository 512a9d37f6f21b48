// Fixed text limits of the setup.
#pragma once

// Every path buffer: the system's path limit, terminating zero included.
constexpr int kMaxPath = 260;
