#pragma once

namespace tv {

class Model;
class UserHost;

// The model-level part of the model-changed step, shared by the main window and the batch
// tool so that both solve the same model.

// Expectation settings the model structure no longer allows are switched (with a message)
// to ones it does; the name of the import expectation follows the import switch.
void EnforceExpectationRules(Model& m, UserHost& host);

// Marks the periods a structural or expectation change made invalid as unsolved.
void MarkWhatMustBeRecomputed(Model& m);

} // namespace tv
