// The form's run buttons: "Recognize", "Batch Recognize" and "Learn Patterns", each taking
// its folder from a control relative to the run folder (which becomes current).
#pragma once

#include <string>
#include <vector>

#include "form/workspace.h"

namespace morvik {

// "Recognize": the folder EditPatternsBatch, fixed naming (rows from 1, columns from 0, each
// until the first missing file) or, with CheckBoxDynamic, dynamic naming (every name of rows
// and columns 0..10; 11 lines in each result file).
// Returns false when the folder does not exist (nothing is touched); throws Error when a
// result file cannot be written. Pictures that cannot be read count as blank, and the run
// ends with one message listing them (FailedPicturesMessage).
bool ButtonRecognizeClick(Workspace& ws);

// "Batch Recognize" over the root EditPatternsBatch, thumbnails from row 1 on. Returns false
// when the root does not exist; throws Error when a result file fails. Pictures that cannot
// be read are listed in one message at the end, as for "Recognize".
bool ButtonRecBatchClick(Workspace& ws);

// "Learn Patterns": slots 1..40 from the folder EditAutoPat. Returns how many slots were
// learned; throws Error at the first bitmap that cannot be loaded, leaving the slots learned
// before it.
int ButtonAutoPatClick(Workspace& ws);

// The message that ends a run with pictures it could not read: how many, then each
// problem (naming its file) on a line of its own.
std::string FailedPicturesMessage(const std::vector<std::string>& failed);

}  // namespace morvik
