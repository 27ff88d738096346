#pragma once

// What --render and --handout ask for. Plain types only: the solver alone is built without
// Qt and hands these requests to its Qt-linked companion, tervalis-render.

#include <string>

namespace tv {

class Model;
class UserHost;

struct RenderRequest {
    std::string View;     // --render NAME, "list" for the names
    std::string Handout;  // --handout FILE.pdf
    std::string Output;   // -o FILE.png|.pdf|.svg
    std::string Size;     // --size WxH
    std::string Language; // --lang de|en
    std::string Settings; // --settings FILE
    long Period = -1;     // --period T; -1 the right edge

    bool Wanted() const { return !View.empty() || !Handout.empty(); }
};

// Checks what can be checked before solving; prints the reason and returns 2, or returns 0.
int CheckRenderRequest(const RenderRequest& r);
// Prints the view names, one per line; returns the exit status.
int ListRenderViews();
// Renders from the solved model (and the solved baseline, if any), then prints the status
// line. Exit status: 0 written and solved "Ok", 1 written from an inexact solution, 2 nothing
// written (a period outside the solution, a file that cannot be written).
int RenderSolvedModel(Model& m, const Model* baseline, const std::string& modelFile,
                      const RenderRequest& r, UserHost& host, const std::string& status);

} // namespace tv
