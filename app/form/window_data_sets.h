#pragma once
// The five client data sets of the main window with their providers, data
// sources, options, start command texts and persistent fields, as the window
// stores them. A FormSession owns one of these beside its commands.

#include "dataset/apply/data_set_provider.h"
#include "dataset/client/client_data_set.h"
#include "dataset/client/data_source.h"
#include "dataset/engine/component.h"

namespace app {

struct WindowCommands;

struct WindowDataSets {
    explicit WindowDataSets(WindowCommands& commands);
    WindowDataSets(const WindowDataSets&) = delete;
    WindowDataSets& operator=(const WindowDataSets&) = delete;

    using ClientDataSet = dataset::ClientDataSet;
    using DataSetProvider = dataset::DataSetProvider;
    using DataSource = dataset::DataSource;
    using Field = dataset::Field;

    // Providers and data sets find each other by name among these.
    dataset::ComponentOwner components;

    DataSetProvider PRepArticulos{"PRepArticulos", &components};
    DataSetProvider PBorrar{"PBorrar", &components};
    DataSetProvider Perror{"Perror", &components};
    DataSetProvider PPuntos{"PPuntos", &components};
    DataSetProvider PAjuste{"PAjuste", &components};

    ClientDataSet CRepArticulos{"CRepArticulos", &components};
    ClientDataSet Cborrar{"Cborrar", &components};
    ClientDataSet CError{"CError", &components};
    ClientDataSet CPuntos{"CPuntos", &components};
    ClientDataSet CAjuste{"CAjuste", &components};

    DataSource DError{"DError", &components};
    DataSource DPuntos{"DPuntos", &components};
    DataSource DAjuste{"DAjuste", &components};

    // Persistent fields, named after data set and column.
    Field* CRepArticulosVER;
    Field* CRepArticulosIDC;
    Field* CRepArticulosERR;
    Field* CPuntosPTVT_ID;
    Field* CPuntosBODE_COD;
    Field* CPuntosPTVT_NOM;
    Field* CPuntosPTVT_RESP;
    Field* CPuntosCAJA_ID;
    Field* CPuntosPTVT_COLOR;
    Field* CPuntosPREF_PRE;
    Field* CPuntosTERC_NIT;
    Field* CPuntosSUCU_ID;
    Field* CErrorERRO_CODIGO;
    Field* CErrorERRO_CADENA;
    Field* CErrorINTERFAZ;
    Field* CAjusteAJCI_ID;
    Field* CAjusteAJCI_FECINI;
    Field* CAjusteAJCI_FECFIN;
    Field* CAjusteAJCI_PORC;
    Field* CAjusteAJCI_FACTOR;

    // Closes the five data sets before the commands they read go away.
    ~WindowDataSets();
};

} // namespace app
