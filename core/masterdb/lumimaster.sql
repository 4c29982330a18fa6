-- lumimaster.sql: the master database that ships with the program.
--
-- The build runs this whole script in one transaction on a new, empty file and installs the result
-- as lumimaster.mdb in the data folder. It holds every table of the master database except
-- AdminUsers, which only a network copy has (making the network database creates it), together with
-- the four stored views that the Budgets Explorer tree and the file system view read, the list of
-- data tables that clean-up and migration walk, and the list of printable grids.
--
-- Conventions the database layer relies on:
--   text      VARCHAR(n) CONSTRAINT "size:col" CHECK (length(col) <= n), so that the engine refuses
--             a value that is too long for its column instead of storing it; long free text would
--             be TEXT. The database layer reports a failed "size:" check as a value too long.
--   yes/no    YESNO NOT NULL DEFAULT 0 CONSTRAINT "yesno:col" CHECK (col IN (0,1)): 0 is No, 1 Yes.
--   dates     DATETIME holding ISO text (YYYY-MM-DD HH:MM:SS).
--   numbers   INTEGER; an auto-numbered key is INTEGER PRIMARY KEY AUTOINCREMENT and is never
--             copied between databases (its name starts with ID_, or is ID in Errors).
--   names     SQL keywords used as column names are quoted ("Default").
--
-- Column order is part of the format: migration and budget copies map columns by position, so a
-- later version only ever adds columns at the end of a table.
--
-- Text widths: where a table's own description gives a width, that width is used. Elsewhere the
-- width is 255, the largest plain text column, except for the names that the errors log also
-- records: budget names (100), master workbook and user file names (100) and worksheet names (50)
-- get the width of the matching errors-log column in every table, so that whatever the program
-- stores can also be logged. Scrambled passwords and identifiers of the network tables are 200
-- wide (a scrambled text takes four to five characters per plain character).
--
-- Placeholder rows: every table named in TablesList keeps at least one row; an empty one holds a
-- single row whose first column is '<Dummy record>', which readers skip and the clean-up sweep
-- removes as soon as a real row exists. The file ships with one placeholder row in each of them.


-- ---------------------------------------------------------------------------------------------
-- Budgets: one row per budget. Every other budget table refers to a budget by Budget_Name.
-- Exactly 14 standard columns in this order (start-up refuses any other count, and copies between
-- databases go by position). Budget_Name is first and Admin_Name (the author) sixth. The last six
-- are spare budget facts that no routine reads or writes yet. A network copy appends one grant
-- column per administrator after these fourteen.
CREATE TABLE Budgets (
    Budget_Name           VARCHAR(100)                      CONSTRAINT "size:Budget_Name" CHECK (length(Budget_Name) <= 100),
    Active                YESNO         NOT NULL DEFAULT 0  CONSTRAINT "yesno:Active" CHECK (Active IN (0,1)),
    Storage               YESNO         NOT NULL DEFAULT 0  CONSTRAINT "yesno:Storage" CHECK (Storage IN (0,1)),
    LumiXL                YESNO         NOT NULL DEFAULT 0  CONSTRAINT "yesno:LumiXL" CHECK (LumiXL IN (0,1)),
    Budget_Date           DATETIME,
    Admin_Name            VARCHAR(255)                      CONSTRAINT "size:Admin_Name" CHECK (length(Admin_Name) <= 255),
    DB_Storage_Filename   VARCHAR(255)                      CONSTRAINT "size:DB_Storage_Filename" CHECK (length(DB_Storage_Filename) <= 255),
    DB_Create_Date        DATETIME,
    Budget_Description    VARCHAR(255)                      CONSTRAINT "size:Budget_Description" CHECK (length(Budget_Description) <= 255),
    Budget_Period         VARCHAR(255)                      CONSTRAINT "size:Budget_Period" CHECK (length(Budget_Period) <= 255),
    Period_Start_Date     DATETIME,
    Period_End_Date       DATETIME,
    Budget_Modified_Date  DATETIME,
    DB_Storage_Path       VARCHAR(255)                      CONSTRAINT "size:DB_Storage_Path" CHECK (length(DB_Storage_Path) <= 255)
);

-- MasterFiles: one row per master workbook of a budget: its file name and folder (the full path is
-- Path / Master_File), the date it was added or last had its sheets listed, the file date after the
-- last update run, and its scrambled open and write passwords with the flag that says whether they
-- are on the file now. Worksheets.MasterFiles_ID refers to ID_MasterFiles.
CREATE TABLE MasterFiles (
    Master_File       VARCHAR(100)                             CONSTRAINT "size:Master_File" CHECK (length(Master_File) <= 100),
    Templates         YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Templates" CHECK (Templates IN (0,1)),
    Folder_Name       VARCHAR(255)                             CONSTRAINT "size:Folder_Name" CHECK (length(Folder_Name) <= 255),
    Process_Date      DATETIME,
    Drive             VARCHAR(255)                             CONSTRAINT "size:Drive" CHECK (length(Drive) <= 255),
    Path              VARCHAR(255)                             CONSTRAINT "size:Path" CHECK (length(Path) <= 255),
    MF_Modified_Date  DATETIME,
    Budget_Name       VARCHAR(100)                             CONSTRAINT "size:Budget_Name" CHECK (length(Budget_Name) <= 100),
    ID_MasterFiles    INTEGER       PRIMARY KEY AUTOINCREMENT,
    WBOpen_Password   VARCHAR(255)                             CONSTRAINT "size:WBOpen_Password" CHECK (length(WBOpen_Password) <= 255),
    WBWrite_Password  VARCHAR(255)                             CONSTRAINT "size:WBWrite_Password" CHECK (length(WBWrite_Password) <= 255),
    MFPwdsSet         YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:MFPwdsSet" CHECK (MFPwdsSet IN (0,1))
);

-- Worksheets: one row per worksheet of a master workbook. A picked row (Select_By_User) becomes a
-- user file filed under Folder_Name; the user-file columns record its name, full path, creation and
-- file dates and state. MasterFiles_ID links the row to its master workbook (0 or empty: not
-- linked). The four MF_Table_ columns are listed with the worksheet but nothing fills them yet.
CREATE TABLE Worksheets (
    Worksheet_Name         VARCHAR(50)                              CONSTRAINT "size:Worksheet_Name" CHECK (length(Worksheet_Name) <= 50),
    Select_By_User         YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Select_By_User" CHECK (Select_By_User IN (0,1)),
    Folder_Name            VARCHAR(255)                             CONSTRAINT "size:Folder_Name" CHECK (length(Folder_Name) <= 255),
    File_Missing           YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:File_Missing" CHECK (File_Missing IN (0,1)),
    UF_Create_Date         DATETIME,
    UF_Modified_Date       DATETIME,
    User_Filename          VARCHAR(100)                             CONSTRAINT "size:User_Filename" CHECK (length(User_Filename) <= 100),
    UFNPath                VARCHAR(255)                             CONSTRAINT "size:UFNPath" CHECK (length(UFNPath) <= 255),
    Master_File            VARCHAR(100)                             CONSTRAINT "size:Master_File" CHECK (length(Master_File) <= 100),
    MF_Table_Create_Date   DATETIME,
    MF_Table_Modify_Date   DATETIME,
    MF_Table_Name          VARCHAR(50)                              CONSTRAINT "size:MF_Table_Name" CHECK (length(MF_Table_Name) <= 50),
    MF_Table_Changed_Date  DATETIME,
    Budget_Name            VARCHAR(100)                             CONSTRAINT "size:Budget_Name" CHECK (length(Budget_Name) <= 100),
    MasterFiles_ID         INTEGER,
    WS_Password            VARCHAR(255)                             CONSTRAINT "size:WS_Password" CHECK (length(WS_Password) <= 255),
    Corrupt_Error          YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Corrupt_Error" CHECK (Corrupt_Error IN (0,1)),
    UF_Copy_Values         YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:UF_Copy_Values" CHECK (UF_Copy_Values IN (0,1)),
    ID_Worksheets          INTEGER       PRIMARY KEY AUTOINCREMENT
);

-- UserFileTablesData: one row per built user file of a budget: the user it is assigned to, its
-- mail and merge state (when it was mailed, its due date, whether it changed since the last merge,
-- whether merging from it is locked out) and whether it goes out as an attachment. A new row reads
-- as unassigned, never mailed, without due date, not waiting and not locked out. Due_Date holds the
-- due date as a date.
CREATE TABLE UserFileTablesData (
    User_Filename         VARCHAR(100)                             CONSTRAINT "size:User_Filename" CHECK (length(User_Filename) <= 100),
    Users                 VARCHAR(255)                             CONSTRAINT "size:Users" CHECK (length(Users) <= 255),
    Select_By_User        YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Select_By_User" CHECK (Select_By_User IN (0,1)),
    Email_Sent            DATETIME,
    UserFile_Update       YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:UserFile_Update" CHECK (UserFile_Update IN (0,1)),
    Lockout_User_Updates  YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Lockout_User_Updates" CHECK (Lockout_User_Updates IN (0,1)),
    Due_Date              DATETIME,
    ID_UFTD               INTEGER       PRIMARY KEY AUTOINCREMENT,
    Master_File           VARCHAR(100)                             CONSTRAINT "size:Master_File" CHECK (length(Master_File) <= 100),
    Budget_Name           VARCHAR(100)                             CONSTRAINT "size:Budget_Name" CHECK (length(Budget_Name) <= 100),
    Folder_Name           VARCHAR(255)                             CONSTRAINT "size:Folder_Name" CHECK (length(Folder_Name) <= 255),
    Table_Create_Date     DATETIME,
    Attachment            YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Attachment" CHECK (Attachment IN (0,1))
);

-- Admin: the mail accounts. Authors (RecType 'Author') sign and send the user files through their
-- outgoing server, one of them the default author; mail robots (RecType 'Robot') are the incoming
-- accounts returned user files are fetched from, one of them the default robot. RecType is empty in
-- rows taken over from an older database until the migration asks which kind they are.
CREATE TABLE Admin (
    Admin_Name           VARCHAR(255)                      CONSTRAINT "size:Admin_Name" CHECK (length(Admin_Name) <= 255),
    Admin_Email_Address  VARCHAR(255)                      CONSTRAINT "size:Admin_Email_Address" CHECK (length(Admin_Email_Address) <= 255),
    Mail_Server          VARCHAR(255)                      CONSTRAINT "size:Mail_Server" CHECK (length(Mail_Server) <= 255),
    Pop3_Server          VARCHAR(255)                      CONSTRAINT "size:Pop3_Server" CHECK (length(Pop3_Server) <= 255),
    Pop3_Account         VARCHAR(255)                      CONSTRAINT "size:Pop3_Account" CHECK (length(Pop3_Account) <= 255),
    "Default"            YESNO         NOT NULL DEFAULT 0  CONSTRAINT "yesno:Default" CHECK ("Default" IN (0,1)),
    Default_Robot        YESNO         NOT NULL DEFAULT 0  CONSTRAINT "yesno:Default_Robot" CHECK (Default_Robot IN (0,1)),
    RecType              VARCHAR(255)                      CONSTRAINT "size:RecType" CHECK (length(RecType) <= 255)
);

-- FolderNames: the folders (one per department or group) under which user files are filed.
CREATE TABLE FolderNames (
    Folder_Name  VARCHAR(255)  CONSTRAINT "size:Folder_Name" CHECK (length(Folder_Name) <= 255)
);

-- UsersData: the people user files go to: name, e-mail address and their folder.
CREATE TABLE UsersData (
    Users          VARCHAR(255)  CONSTRAINT "size:Users" CHECK (length(Users) <= 255),
    Email_Address  VARCHAR(255)  CONSTRAINT "size:Email_Address" CHECK (length(Email_Address) <= 255),
    Folder_Name    VARCHAR(255)  CONSTRAINT "size:Folder_Name" CHECK (length(Folder_Name) <= 255)
);

-- Subject: stock e-mail subjects offered when user files are mailed.
CREATE TABLE Subject (
    Subject  VARCHAR(255)  CONSTRAINT "size:Subject" CHECK (length(Subject) <= 255)
);

-- BodyText: stock e-mail body texts offered when user files are mailed.
CREATE TABLE BodyText (
    Body_Text  VARCHAR(255)  CONSTRAINT "size:Body_Text" CHECK (length(Body_Text) <= 255)
);

-- SuperAdminUser: the super-administrator's profile of a network copy: the account name and the
-- two console options, each scrambled ('True'/'False' for copy permission, 'All'/'Context' for the
-- view mode). A local database holds only its placeholder row; the network set-up adds the real
-- profile beside it.
CREATE TABLE SuperAdminUser (
    Super_Admin_Name  VARCHAR(50)   CONSTRAINT "size:Super_Admin_Name" CHECK (length(Super_Admin_Name) <= 50),
    Copy_Permissions  VARCHAR(200)  CONSTRAINT "size:Copy_Permissions" CHECK (length(Copy_Permissions) <= 200),
    View_Mode         VARCHAR(200)  CONSTRAINT "size:View_Mode" CHECK (length(View_Mode) <= 200)
);

-- Templates: the add-in's cache of the template workbooks in its Templates folder, emptied and
-- filled again every time the add-in shows its template view.
CREATE TABLE Templates (
    Template_Name  VARCHAR(255)  CONSTRAINT "size:Template_Name" CHECK (length(Template_Name) <= 255),
    Template_Path  VARCHAR(255)  CONSTRAINT "size:Template_Path" CHECK (length(Template_Path) <= 255)
);

-- Errors: the processing log. One row per problem met while user files are cut, checked or merged
-- (a missing or busy file, a value cut short, a damaged formula, a record too long), with its
-- budget, files, cell and the two values. ID numbers the rows; it is the table's own row number,
-- not an extra index. Six flags are part of the layout although nothing sets them.
CREATE TABLE Errors (
    ID                  INTEGER       PRIMARY KEY AUTOINCREMENT,
    Error_Date          DATETIME,
    UF_name             VARCHAR(100)                             CONSTRAINT "size:UF_name" CHECK (length(UF_name) <= 100),
    UF_table            VARCHAR(50)                              CONSTRAINT "size:UF_table" CHECK (length(UF_table) <= 50),
    MF_table            VARCHAR(50)                              CONSTRAINT "size:MF_table" CHECK (length(MF_table) <= 50),
    Row_number          INTEGER,
    Col_number          INTEGER,
    A1Style             VARCHAR(50)                              CONSTRAINT "size:A1Style" CHECK (length(A1Style) <= 50),
    RecordLength_Error  YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:RecordLength_Error" CHECK (RecordLength_Error IN (0,1)),
    Formula_Error       YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Formula_Error" CHECK (Formula_Error IN (0,1)),
    Truncate_Error      YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Truncate_Error" CHECK (Truncate_Error IN (0,1)),
    Corrupt_Error       YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Corrupt_Error" CHECK (Corrupt_Error IN (0,1)),
    Protected_Error     YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Protected_Error" CHECK (Protected_Error IN (0,1)),
    Error_Corrected     YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Error_Corrected" CHECK (Error_Corrected IN (0,1)),
    File_Missing        YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:File_Missing" CHECK (File_Missing IN (0,1)),
    Table_Missing       YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Table_Missing" CHECK (Table_Missing IN (0,1)),
    Sync_Error          YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:Sync_Error" CHECK (Sync_Error IN (0,1)),
    UFPassArrayFailed   YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:UFPassArrayFailed" CHECK (UFPassArrayFailed IN (0,1)),
    Budget_Name         VARCHAR(100)                             CONSTRAINT "size:Budget_Name" CHECK (length(Budget_Name) <= 100),
    File_In_Use         YESNO         NOT NULL DEFAULT 0         CONSTRAINT "yesno:File_In_Use" CHECK (File_In_Use IN (0,1)),
    MF_Name             VARCHAR(100)                             CONSTRAINT "size:MF_Name" CHECK (length(MF_Name) <= 100),
    MF_Value            VARCHAR(255)                             CONSTRAINT "size:MF_Value" CHECK (length(MF_Value) <= 255),
    Change_Value        VARCHAR(255)                             CONSTRAINT "size:Change_Value" CHECK (length(Change_Value) <= 255)
);

-- TablesList: the data tables that the clean-up sweep keeps at one row at least and that the
-- migration from a previous database copies. Nothing writes it; its rows come with this file.
CREATE TABLE TablesList (
    Table_Name  VARCHAR(255)  NOT NULL  CONSTRAINT "size:Table_Name" CHECK (length(Table_Name) <= 255)
);

-- Print: the grids that File > Print offers, by the name the program recognises each one under,
-- with the title printed at the top of each page.
CREATE TABLE Print (
    Document_Name  VARCHAR(255)  CONSTRAINT "size:Document_Name" CHECK (length(Document_Name) <= 255),
    Page_Header    VARCHAR(255)  CONSTRAINT "size:Page_Header" CHECK (length(Page_Header) <= 255)
);


-- ---------------------------------------------------------------------------------------------
-- Stored views read by the Budgets Explorer tree (budgets > master workbooks > worksheets) and by
-- the file system view (master workbooks > worksheets > user files). Each carries Budget_Name, so
-- that a master workbook, worksheet or user file of the same name in two budgets is told apart
-- when the levels are joined. They show placeholder rows like any other row.

-- BudgetsView: the budgets, name first.
CREATE VIEW BudgetsView AS
SELECT Budget_Name,
       Active,
       Budget_Date,
       Admin_Name
  FROM Budgets
 WHERE Budget_Name IS NOT NULL
 ORDER BY Budget_Name;

-- MasterFilesView: the master workbooks with their budget and key.
CREATE VIEW MasterFilesView AS
SELECT Master_File,
       Path,
       Process_Date,
       MF_Modified_Date,
       Budget_Name,
       ID_MasterFiles
  FROM MasterFiles
 WHERE Master_File IS NOT NULL
 ORDER BY Budget_Name, Master_File;

-- WorksheetsView: the worksheets with their master workbook, its key, and their user file.
CREATE VIEW WorksheetsView AS
SELECT Worksheet_Name,
       Master_File,
       MasterFiles_ID,
       User_Filename,
       Select_By_User,
       Folder_Name,
       UF_Create_Date,
       UFNPath,
       Budget_Name
  FROM Worksheets
 WHERE Worksheet_Name IS NOT NULL
 ORDER BY Budget_Name, Master_File, Worksheet_Name;

-- UFTDView: the user files with their user and mail state.
CREATE VIEW UFTDView AS
SELECT User_Filename,
       Users,
       Folder_Name,
       Email_Sent,
       Due_Date,
       UserFile_Update,
       Lockout_User_Updates,
       Master_File,
       Budget_Name
  FROM UserFileTablesData
 WHERE User_Filename IS NOT NULL
 ORDER BY Budget_Name, User_Filename;


-- ---------------------------------------------------------------------------------------------
-- The listed data tables: those whose first column is text (so it can hold the placeholder) and
-- that a grid shows or edits or that the migration must carry into a new database file.
--   Budgets, MasterFiles, Worksheets, UserFileTablesData: the budgets and everything cut from
--     them; shown in the wizard's grids and carried over by the migration (which then relinks
--     worksheets to their master workbooks).
--   Admin, FolderNames, UsersData, Subject, BodyText: the reference lists edited in the
--     configuration window's grids; the migration completes the record type of old Admin rows.
-- Left out:
--   Errors: its first column is the row number, which cannot hold the placeholder; the log is
--     reset by dropping and re-creating it, not migrated.
--   Templates: a cache of the Templates folder that the add-in empties and refills whenever it is
--     shown; a placeholder would only be deleted again and old folder listings are not worth
--     carrying over.
--   SuperAdminUser: no grid shows it, and its profile belongs with the administrator accounts of
--     a network copy, which a local migration does not bring along; it ships with its own
--     placeholder row all the same, which the console and the network set-up expect.
--   AdminUsers: only a network copy has it; a listed table that is missing would stop every sweep
--     and migration of the local database.
--   TablesList, Print: lists that come with this file; nothing edits them.
INSERT INTO TablesList (Table_Name) VALUES ('Budgets');
INSERT INTO TablesList (Table_Name) VALUES ('MasterFiles');
INSERT INTO TablesList (Table_Name) VALUES ('Worksheets');
INSERT INTO TablesList (Table_Name) VALUES ('UserFileTablesData');
INSERT INTO TablesList (Table_Name) VALUES ('Admin');
INSERT INTO TablesList (Table_Name) VALUES ('FolderNames');
INSERT INTO TablesList (Table_Name) VALUES ('UsersData');
INSERT INTO TablesList (Table_Name) VALUES ('Subject');
INSERT INTO TablesList (Table_Name) VALUES ('BodyText');

-- Placeholder rows of the listed tables, and of SuperAdminUser.
INSERT INTO Budgets            (Budget_Name)      VALUES ('<Dummy record>');
INSERT INTO MasterFiles        (Master_File)      VALUES ('<Dummy record>');
INSERT INTO Worksheets         (Worksheet_Name)   VALUES ('<Dummy record>');
INSERT INTO UserFileTablesData (User_Filename)    VALUES ('<Dummy record>');
INSERT INTO Admin              (Admin_Name)       VALUES ('<Dummy record>');
INSERT INTO FolderNames        (Folder_Name)      VALUES ('<Dummy record>');
INSERT INTO UsersData          (Users)            VALUES ('<Dummy record>');
INSERT INTO Subject            (Subject)          VALUES ('<Dummy record>');
INSERT INTO BodyText           (Body_Text)        VALUES ('<Dummy record>');
INSERT INTO SuperAdminUser     (Super_Admin_Name) VALUES ('<Dummy record>');

-- The printable grids, under the names the print window recognises.
INSERT INTO Print (Document_Name, Page_Header) VALUES ('FolderNames table',      'Lumivane - Folder Names');
INSERT INTO Print (Document_Name, Page_Header) VALUES ('Errors table',           'Lumivane - Processing Errors');
INSERT INTO Print (Document_Name, Page_Header) VALUES ('Master files table',     'Lumivane - Master Workbooks');
INSERT INTO Print (Document_Name, Page_Header) VALUES ('User file assign table', 'Lumivane - User File Assignments');
INSERT INTO Print (Document_Name, Page_Header) VALUES ('Users status table',     'Lumivane - User File Status');
INSERT INTO Print (Document_Name, Page_Header) VALUES ('UsersData table',        'Lumivane - Users');
INSERT INTO Print (Document_Name, Page_Header) VALUES ('Worksheets table',       'Lumivane - Worksheets');
