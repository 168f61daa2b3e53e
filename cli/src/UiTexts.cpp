#include "UiTexts.h"

namespace qv::cli {

namespace {
UiTexts MakeGerman() {
  UiTexts t;
  t.split.strayLine = "Zeile ohne vorangehende MB-Zeile (gehört zu keinem Fall)";
  t.split.tooLarge = "Fall zu gross ({bytes} Bytes mit Kopfzeile); es werden nur Fälle unter 10000 Bytes geprüft";
  t.split.nulByte = "Zeile enthält ein NUL-Byte; der Fall wird nicht geprüft";
  t.unreadable = "Datei nicht lesbar: {reason}";
  t.workerFailed = "Prüfung abgebrochen ({reason}); der Fall wurde nicht geprüft";
  t.unreadableList = "Meldungsliste der Bibliothek nicht lesbar; Befunde des Falls fehlen möglicherweise";
  t.notLatin1 = "Zeichen in ISO 8859-1 nicht darstellbar, als \"?\" geprüft (Feld {field})";
  t.notDecodable = "Bytes sind kein Zeichen der Eingabecodierung, als \"?\" geprüft (Feld {field})";
  t.libraryRejected = "Fall von der Bibliothek als Ganzes abgewiesen";
  t.summaryTitle = "Zusammenfassung";
  t.casesRead = "Fälle gelesen";
  t.casesWithFindings = "Fälle mit Befunden";
  t.findingsByType = "Befunde nach Typ";
  t.topCodes = "Häufigste Codes";
  t.none = "keine";
  t.typeNames[0] = "Fehler";
  t.typeNames[1] = "Warnungen";
  t.typeNames[2] = "Hinweise";
  t.typeNames[3] = "Kontrollen";
  t.typeNames[4] = "Strukturfehler";
  t.htmlTitle = "Prüfbericht";
  t.htmlFindings = "Befunde";
  t.htmlTable = "Fallansicht";
  t.htmlMore = "{count} weitere Fälle mit Befunden sind hier nicht aufgeführt; --html-max-cases N nimmt bis zu N Fälle in den Bericht auf.";
  t.htmlLine = "Zeile";
  t.htmlType = "Typ";
  t.htmlCode = "Code";
  t.htmlText = "Text";
  t.htmlValue = "Wert";
  t.htmlCase = "Fall in Zeile {line}";
  t.findingsLeftOut = "Befunde ausgelassen";
  t.findingsAccepted = "Befunde akzeptiert";
  t.referenceData = "Referenzdaten";
  t.htmlCreated = "Erstellt";
  t.htmlProgram = "Programm";
  t.htmlReference = "Referenzdaten";
  t.htmlInputs = "Eingabe";
  t.htmlInputSize = "{bytes} Bytes, {lines} Zeilen";
  t.htmlCaseNumber = "Fall";
  t.htmlPlace = "Datei:Zeile";
  t.htmlTypes = "Typen";
  t.htmlCodes = "Codes";
  t.htmlAll = "alle";
  t.htmlSearch = "Fallnummer";
  t.htmlShown = "{shown} von {total} Fällen";
  t.htmlName = "Name";
  t.htmlLabel = "Bezeichnung";
  t.htmlMeaning = "Bedeutung";
  return t;
}

UiTexts MakeFrench() {
  UiTexts t;
  t.split.strayLine = "Ligne sans ligne MB précédente (n'appartient à aucun cas)";
  t.split.tooLarge = "Cas trop grand ({bytes} octets avec l'en-tête) ; seuls les cas de moins de 10000 octets sont contrôlés";
  t.split.nulByte = "La ligne contient un octet NUL ; le cas n'est pas contrôlé";
  t.unreadable = "Fichier illisible : {reason}";
  t.workerFailed = "Contrôle interrompu ({reason}) ; le cas n'a pas été contrôlé";
  t.unreadableList = "Liste des messages de la bibliothèque illisible ; des constats du cas peuvent manquer";
  t.notLatin1 = "Caractère non représentable en ISO 8859-1, contrôlé comme « ? » (champ {field})";
  t.notDecodable = "Octets ne formant aucun caractère du codage d'entrée, contrôlés comme « ? » (champ {field})";
  t.libraryRejected = "Cas rejeté dans son ensemble par la bibliothèque";
  t.summaryTitle = "Résumé";
  t.casesRead = "Cas lus";
  t.casesWithFindings = "Cas avec constats";
  t.findingsByType = "Constats par type";
  t.topCodes = "Codes les plus fréquents";
  t.none = "aucun";
  t.typeNames[0] = "erreurs";
  t.typeNames[1] = "avertissements";
  t.typeNames[2] = "remarques";
  t.typeNames[3] = "contrôles";
  t.typeNames[4] = "erreurs de structure";
  t.htmlTitle = "Rapport de contrôle";
  t.htmlFindings = "Constats";
  t.htmlTable = "Vue du cas";
  t.htmlMore = "{count} autres cas avec constats ne figurent pas ici ; --html-max-cases N admet jusqu'à N cas dans le rapport.";
  t.htmlLine = "Ligne";
  t.htmlType = "Type";
  t.htmlCode = "Code";
  t.htmlText = "Texte";
  t.htmlValue = "Valeur";
  t.htmlCase = "Cas à la ligne {line}";
  t.findingsLeftOut = "Constats omis";
  t.findingsAccepted = "Constats acceptés";
  t.referenceData = "Données de référence";
  t.htmlCreated = "Créé";
  t.htmlProgram = "Programme";
  t.htmlReference = "Données de référence";
  t.htmlInputs = "Entrée";
  t.htmlInputSize = "{bytes} octets, {lines} lignes";
  t.htmlCaseNumber = "Cas";
  t.htmlPlace = "Fichier:ligne";
  t.htmlTypes = "Types";
  t.htmlCodes = "Codes";
  t.htmlAll = "tous";
  t.htmlSearch = "Numéro de cas";
  t.htmlShown = "{shown} sur {total} cas";
  t.htmlName = "Nom";
  t.htmlLabel = "Libellé";
  t.htmlMeaning = "Sens";
  return t;
}
}  // namespace

const UiTexts& TextsFor(int language) {
  static const UiTexts german = MakeGerman();
  static const UiTexts french = MakeFrench();
  return language == 1 ? french : german;
}

std::string Fill(std::string text, const std::string& name, const std::string& value) {
  std::string key = "{" + name + "}";
  std::size_t at = text.find(key);
  if (at != std::string::npos) text.replace(at, key.size(), value);
  return text;
}

}  // namespace qv::cli
