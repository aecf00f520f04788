#include "resources/string_table.h"

const StringTableEntry kStringTable[] = {
    {1, "Erreur"},
    {2, "Ce module requiert Zerafin 3.0 ou version ultérieure."},
    {3, "Sans"},
    {4, "Directionnel"},
    {5, "Omnidirectionnel"},
    {6, "Projecteur"},
    {7, "Plat"},
    {8, "Montagne"},
    {9, "Mat"},
    {10, "Brillant"},
    {11, "Plastique"},
    {12, "Métal"},
    {13, "Sous"},
    {14, "Sur"},
    {15, "Négative"},
    {16, "Positive"},
    {17, "Négative"},
    {18, "Maxi"},
    {19, "Etroit"},
    {20, "Large"},
    {21, "Alerte"},
    {22, "Impossible de supprimer l'unique source lumineuse existante."},
    {23, "Alerte"},
    {24, "Impossible d'ajouter une source lumineuse car le nombre maximal est atteint. "
         "Essayez d'utiliser une source existante."},
    {25, "Lighting Styles"},
    {26, "Erreur"},
    {27, "Une erreur s'est produite durant l'enregistrement du style."},
    {28, "Erreur"},
    {29, "Une erreur s'est produite durant le chargement du style."},
    {30, "Par défaut"},
    {31, " existe déjà. Souhaitez-vous le remplacer ?"},
    {32, "Enregistrer..."},
    {33, "Souhaitez-vous supprimer "},
    {34, "Supprimer"},
    {35, "Couleur d'ambiance :"},
    {36, "Couleur de la lumière :"},
    {37, "Erreur"},
    {38, "Impossible d'enregistrer. "},
    {39, "car le fichier est protégé en écriture."},
    {40, "Erreur"},
    {41, "Impossible de supprimer."},
    {42, "car le fichier est protégé en écriture."},
    {1000, "Orvane"},
    {19001, "Annuler"},
    {19002, "Rétablir"},
    {0, nullptr},
};

const char* stringTableText(int id) {
    for (const StringTableEntry* entry = kStringTable; entry->text; ++entry)
        if (entry->id == id)
            return entry->text;
    return nullptr;
}
