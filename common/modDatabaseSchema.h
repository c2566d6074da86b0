#pragma once

// Declares the tables of the station's five database files (Vexo_Seq.mdb,
// Vexo_Tst.mdb, Vexo_Prod.mdb, Vexo_Op.mdb, Vexo_Crv.mdb), so that a new
// station creates them empty on first open and an older file gets any table it
// lacks. Called once at start-up, before any file is opened.
void gDatabaseSchemaRegister();
