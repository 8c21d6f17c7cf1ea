#include "modules.h"

#include "errors.h"
#include "filelocations.h"

#include <QCoreApplication>
#include <QLibrary>

namespace {

PrintingModule *printing = nullptr;
SoundModule *sound = nullptr;

template<typename Module> Module &load(const QString &path, const char *entry)
{
    QLibrary library(path);
    // Every symbol is bound now, so that a module that does not fit this
    // program fails here, with a message, rather than later in mid-call.
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    const auto create = reinterpret_cast<Module *(*)()>(library.resolve(entry));
    if (!create)
        throw FileOpenError(path);
    return *create(); // the library stays loaded when the QLibrary goes
}

template<typename Module> Module &inUse(Module *&module, Module &(*loadFrom)(const QString &), const char *file)
{
    if (!module)
        module = &loadFrom(moduleFile(QCoreApplication::applicationDirPath(), QString::fromLatin1(file)));
    return *module;
}

} // namespace

PrintingModule &loadPrintingModule(const QString &path)
{
    return load<PrintingModule>(path, "worktallyPrintingModule");
}

SoundModule &loadSoundModule(const QString &path)
{
    return load<SoundModule>(path, "worktallySoundModule");
}

PrintingModule &printingModule()
{
    return inUse(printing, loadPrintingModule, PrintingModuleFile);
}

SoundModule &soundModule()
{
    return inUse(sound, loadSoundModule, SoundModuleFile);
}

void useModule(PrintingModule *module)
{
    printing = module;
}

void useModule(SoundModule *module)
{
    sound = module;
}
