// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtoptions.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<QtOption, 22> kQtOptions{{
    {u"platform", u"NOM", u"Greffon de plateforme : xcb, wayland, offscreen…"},
    {u"platformtheme", u"NOM", u"Thème de la plateforme."},
    {u"platformpluginpath", u"DOSSIER", u"Dossier des greffons de plateforme."},
    {u"plugin", u"NOM", u"Greffon supplémentaire à charger."},
    {u"style", u"NOM", u"Style des commandes : Fusion, Adwaita, Adwaita-Dark…", true},
    {u"stylesheet", u"FICHIER", u"Feuille de style Qt à appliquer.", true},
    {u"display", u"AFFICHAGE", u"Serveur X à utiliser (xcb)."},
    {u"qwindowgeometry", u"GÉOMÉTRIE", u"Position de la fenêtre."},
    {u"qwindowtitle", u"TITRE", u"Titre de la fenêtre."},
    {u"qwindowicon", u"FICHIER", u"Icône de la fenêtre."},
    {u"reverse", {}, u"Dispose la fenêtre de droite à gauche."},
    {u"geometry", u"GÉOMÉTRIE", {}},
    {u"title", u"TITRE", {}},
    {u"icon", u"FICHIER", {}},
    {u"name", u"NOM", {}},
    {u"visual", u"VISUEL", {}},
    {u"session", u"SESSION", {}},
    {u"widgetcount", {}, {}},
    {u"sync", {}, {}},
    {u"nograb", {}, {}},
    {u"dograb", {}, {}},
    {u"testability", {}, {}},
}};

} // namespace

std::span<const QtOption> qtOptions()
{
    return kQtOptions;
}

const QtOption *findQtOption(QStringView name)
{
    const auto it = std::find_if(kQtOptions.begin(), kQtOptions.end(),
                                 [&](const QtOption &option) { return option.name == name; });
    return it == kQtOptions.end() ? nullptr : &*it;
}
