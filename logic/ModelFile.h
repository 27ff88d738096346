#pragma once

#include <functional>
#include <string>

namespace tv {

class Model;
class UserHost;

// What the model file needs of the main window: the analysis-interval rules and the
// model-changed and period-changed steps. Unset hooks fall back to plain defaults (the
// interval is set directly, the model-changed step solves when SolveAfterInput is set).
struct ModelFileHooks {
    std::function<bool()> isRevolving;
    std::function<void()> setArchiving;
    std::function<void(int left, int right)> setIntervalQuietly;
    std::function<void()> modelChanged;
    std::function<void()> periodChanged;
    std::function<void()> fileNameChanged;
    // Another model replaces the current one (loaded or new), before it is solved.
    std::function<void()> modelReplaced;
};

// The model file: a workbook with one sheet "TERVALIS". Row 0 holds the switches, two
// solution options and the expectation settings; row 9 + t holds the 64 parameters of
// period t from period -1 up to the last defined period (parameter 31 not 0).
class ModelFile {
  public:
    ModelFile(Model& m, UserHost& host, std::string dataDirectory, ModelFileHooks hooks = {});

    // Writes the whole model; throws std::system_error (with the errno) when the file
    // cannot be written completely (the model file is untouched when written through Save).
    void WriteModelFile(const std::string& fileName) const;
    // Reads a model file into the model. The file is read completely before anything is
    // applied: a file that cannot be read changes nothing. Shows the error and returns
    // false on failure. Periods after the file's last one are cleared; period lengths and
    // lags outside their range are replaced (one message lists them).
    bool ReadModelFile(const std::string& fileName);
    bool OpenModel(const std::string& fileName);
    void SetModelDefaults();
    void NewModel();
    // Saves under the current model file name, keeping the previous file as the ".ST5"
    // backup. The new file is written under a temporary name first, so a failure leaves
    // the previous model file as it was. Returns true when the file was written.
    bool Save();
    bool SaveAs(const std::string& fileName);
    // The last-chance question before the current data are given up.
    bool AskLastChance();
    // Refuses (with its message) a name whose extension is not "TV5".
    bool CheckModelExtension(const std::string& fileName);
    void ShowBackupLoadHint();

    const std::string& ModelFileName() const { return modelFileName_; }
    const std::string& RulesFileName() const { return rulesFileName_; }
    int LastFilePeriod() const { return lastFilePeriod_; }
    bool ModelModified = false;

    static std::string ChangeExtension(const std::string& fileName, const std::string& ext);
    // The extension `ext` (without the dot) in the letter case of the name's own extension.
    static std::string ChangeExtensionKeepingCase(const std::string& fileName,
                                                  const std::string& ext);
    static bool HasExtension(const std::string& fileName, const std::string& ext);
    // Why a file could not be written (errno), and the whole message naming the file.
    static std::string WriteFailureReason(int error);
    static std::string WriteFailureText(const std::string& fileName, int error);

  private:
    void SetInterval(int left, int right);
    void ModelChanged();
    void ResolveFromScratch();

    Model& m_;
    UserHost& host_;
    ModelFileHooks hooks_;
    std::string modelFileName_;
    std::string rulesFileName_;
    int lastFilePeriod_ = 0;
};

} // namespace tv
