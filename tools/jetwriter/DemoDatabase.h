#pragma once
// The demo database shipped with the build: customers, their orders, and notes with Nulls and a long memo.

#include "jetwriter/JetWriter.h"

namespace jetwriter {

Database demoDatabase();

}  // namespace jetwriter
