#pragma once
// Figure export has no dispatcher actions; CopyBigImage and SaveBigImage are callable by
// name (export_callables.h).
