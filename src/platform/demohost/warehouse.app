# The built-in warehouse application of the demo host.
# Format: docs/demo-app-format.md.  Any user name and password sign on.

application "Warehouse"
start SIGNON

# Items on file: the item inquiry, receiving and stock transfer look them up.
table ITEMS item description onhand location unit
  row 100234 "Pallet wrap, 500 mm clear"   148 A-01-02 ROLL
  row 100311 "Carton, double wall 60x40x40"  2350 B-04-01 EA
  row 100418 "Packing tape, brown 48 mm"   -12 A-02-05 ROLL
  row 200127 "Hand pallet truck, 2.5 t"     6 F-10-01 EA
  row 200255 "Shelf label holder, 1 m"   420 C-03-04 EA
  row 300042 "Safety gloves, size 9"    96 D-01-03 PAIR
  row 300087 "Hi-vis vest, yellow L"     0 D-01-06 EA
  row 410005 "Barcode labels 100x150"    75 C-07-02 BOX
end

# Today's picking wave: 40 lines, shown 10 to a page.
table PICKS line order item description location qty unit
  row 1  SO-50211 200127 "Hand pallet truck, 2.5 t" F-10-01   8 EA
  row 2  SO-50211 300087 "Hi-vis vest, yellow L" D-01-06  15 EA
  row 3  SO-50211 100311 "Carton, double wall 60x40x" B-04-01  22 EA
  row 4  SO-50211 200255 "Shelf label holder, 1 m" C-03-04   6 EA
  row 5  SO-50211 410005 "Barcode labels 100x150" C-07-02  13 BOX
  row 6  SO-50212 100418 "Packing tape, brown 48 mm" A-02-05  20 ROLL
  row 7  SO-50212 300042 "Safety gloves, size 9" D-01-03   4 PAIR
  row 8  SO-50212 100234 "Pallet wrap, 500 mm clear" A-01-02  11 ROLL
  row 9  SO-50212 200127 "Hand pallet truck, 2.5 t" F-10-01  18 EA
  row 10 SO-50212 300087 "Hi-vis vest, yellow L" D-01-06   2 EA
  row 11 SO-50215 100311 "Carton, double wall 60x40x" B-04-01   9 EA
  row 12 SO-50215 200255 "Shelf label holder, 1 m" C-03-04  16 EA
  row 13 SO-50215 410005 "Barcode labels 100x150" C-07-02  23 BOX
  row 14 SO-50215 100418 "Packing tape, brown 48 mm" A-02-05   7 ROLL
  row 15 SO-50215 300042 "Safety gloves, size 9" D-01-03  14 PAIR
  row 16 SO-50219 100234 "Pallet wrap, 500 mm clear" A-01-02  21 ROLL
  row 17 SO-50219 200127 "Hand pallet truck, 2.5 t" F-10-01   5 EA
  row 18 SO-50219 300087 "Hi-vis vest, yellow L" D-01-06  12 EA
  row 19 SO-50219 100311 "Carton, double wall 60x40x" B-04-01  19 EA
  row 20 SO-50219 200255 "Shelf label holder, 1 m" C-03-04   3 EA
  row 21 SO-50220 410005 "Barcode labels 100x150" C-07-02  10 BOX
  row 22 SO-50220 100418 "Packing tape, brown 48 mm" A-02-05  17 ROLL
  row 23 SO-50220 300042 "Safety gloves, size 9" D-01-03   1 PAIR
  row 24 SO-50220 100234 "Pallet wrap, 500 mm clear" A-01-02   8 ROLL
  row 25 SO-50220 200127 "Hand pallet truck, 2.5 t" F-10-01  15 EA
  row 26 SO-50224 300087 "Hi-vis vest, yellow L" D-01-06  22 EA
  row 27 SO-50224 100311 "Carton, double wall 60x40x" B-04-01   6 EA
  row 28 SO-50224 200255 "Shelf label holder, 1 m" C-03-04  13 EA
  row 29 SO-50224 410005 "Barcode labels 100x150" C-07-02  20 BOX
  row 30 SO-50224 100418 "Packing tape, brown 48 mm" A-02-05   4 ROLL
  row 31 SO-50230 300042 "Safety gloves, size 9" D-01-03  11 PAIR
  row 32 SO-50230 100234 "Pallet wrap, 500 mm clear" A-01-02  18 ROLL
  row 33 SO-50230 200127 "Hand pallet truck, 2.5 t" F-10-01   2 EA
  row 34 SO-50230 300087 "Hi-vis vest, yellow L" D-01-06   9 EA
  row 35 SO-50230 100311 "Carton, double wall 60x40x" B-04-01  16 EA
  row 36 SO-50231 200255 "Shelf label holder, 1 m" C-03-04  23 EA
  row 37 SO-50231 410005 "Barcode labels 100x150" C-07-02   7 BOX
  row 38 SO-50231 100418 "Packing tape, brown 48 mm" A-02-05  14 ROLL
  row 39 SO-50231 300042 "Safety gloves, size 9" D-01-03  21 PAIR
  row 40 SO-50231 100234 "Pallet wrap, 500 mm clear" A-01-02   5 ROLL
end

# Header and function-key line shared by every screen after sign-on.
layout STANDARD
  text 1 2 "{user}"
  text 1 center "Warehouse Management" bright
  text 1 70 "{device}"
  text 2 center "{title}" bright
  repeat 3 2 79 "-"
  keys "F3=Exit   F12=Cancel"
end

screen SIGNON
  text 1 37 "Sign On" bright
  text 2 48 "System  . . . . . :   DEMOHOST"
  text 3 48 "Subsystem . . . . :   QINTER"
  text 4 48 "Display . . . . . :   {device}"
  text 6 17 "User  . . . . . . . . . . . . . ."
  input 6 53 10 user upper underline
  text 7 17 "Password  . . . . . . . . . . . ."
  input 7 53 10 password hidden
  text 10 17 "Warehouse demonstration host: any user and password sign on."
  keys "F3=Exit   F12=Cancel"
  cursor user
  check user required "Type your user name."
  check password required "Type your password."
  on enter goto MENU
  on f3 signoff
  on f12 stay
end

screen MENU uses STANDARD
  title "Main Menu"
  text 5 2 "Select one of the following:"
  text 7 7 "1. Receiving"
  text 8 7 "2. Picking"
  text 9 7 "3. Item inquiry"
  text 10 7 "4. Stock transfer"
  text 12 6 "90. Sign off"
  text 20 2 "Selection . . ."
  input 20 19 2 option type=digits underline
  check option required "Type the number of an option."
  on enter when option = 1 goto RECEIVING
  on enter when option = 2 goto PICKING
  on enter when option = 3 goto INQUIRY
  on enter when option = 4 goto TRANSFER
  on enter when option = 90 signoff
  on enter error "Option {option} is not on the menu."
  on f3 signoff
  on f12 signoff
end

screen RECEIVING uses STANDARD
  title "Receiving"
  text 5 2 "Type the receipt, press Enter."
  text 7 6 "Purchase order  . . . ."
  input 7 31 8 po value="{po}" type=digits underline
  text 8 6 "Item number . . . . . ."
  input 8 31 6 item value="{item}" upper underline
  text 9 6 "Quantity received . . ."
  input 9 31 7 qty type=numonly adjust=zero underline
  check po required "Type the purchase order number."
  check item in ITEMS "Item {item} is not on file."
  check qty range 1 9999999 "The quantity must be greater than zero."
  on enter goto RECEIPT
  on f3 goto MENU
  on f12 goto MENU
end

# The confirmation: nothing is posted until Enter.
screen RECEIPT uses STANDARD
  title "Confirm Receipt"
  text 5 6 "Purchase order  . . . :"
  output 5 31 8 "{po}"
  text 6 6 "Item  . . . . . . . . :"
  output 6 31 6 "{item}"
  output 6 39 30 "{ITEMS.description}"
  text 7 6 "Quantity  . . . . . . :"
  output 7 31 7 "{qty}" type=numonly adjust=zero
  output 7 39 4 "{ITEMS.unit}"
  text 9 2 "Press Enter to post the receipt, F12 to change it."
  on enter goto RECEIVED
  on f3 goto MENU
  on f12 goto RECEIVING
end

screen RECEIVED uses STANDARD
  title "Receiving"
  text 8 6 "Receipt posted: {qty} {ITEMS.unit} of item {item} on order {po}."
  text 10 6 "Press Enter to continue."
  on enter goto RECEIVING
  on f3 goto MENU
  on f12 goto MENU
end

screen INQUIRY uses STANDARD
  title "Item Inquiry"
  text 5 2 "Type an item number, press Enter."
  text 7 6 "Item number . . . . . ."
  input 7 31 6 item value="{item}" upper underline
  check item required "Type an item number."
  check item in ITEMS "Item {item} is not on file."
  on enter goto ITEM
  on f3 goto MENU
  on f12 goto MENU
end

screen ITEM uses STANDARD
  title "Item Inquiry"
  text 5 6 "Item number . . . . . :"
  output 5 31 6 "{item}"
  text 6 6 "Description . . . . . :"
  output 6 31 30 "{ITEMS.description}"
  text 7 6 "Quantity on hand  . . :"
  output 7 31 8 "{ITEMS.onhand}" type=signed
  text 8 6 "Location  . . . . . . :"
  output 8 31 8 "{ITEMS.location}"
  text 9 6 "Unit of measure . . . :"
  output 9 31 4 "{ITEMS.unit}"
  text 11 2 "Press Enter for another item."
  on enter goto INQUIRY
  on f3 goto MENU
  on f12 goto INQUIRY
end

screen PICKING uses STANDARD
  title "Picking List"
  text 4 2 "Wave 0427 for {user}.  Type a line number, press Enter."
  text 6 2 "Line  Order     Item    Description                 Location    Qty Unit"
  list PICKS 7 2 10 "{line:>4}  {order:8}  {item:6}  {description:26}  {location:8}  {qty:>5} {unit}"
  text 19 2 "Line to pick  . . ."
  input 19 22 2 pickline type=digits underline
  keys "F1=Help   F3=Exit   F12=Cancel"
  help "The list shows the lines of today's picking wave."
  help "Roll Up shows the next ten lines, Roll Down the previous."
  help "Type a line number and press Enter to pick it."
  help "Press Enter to return to the list."
  check pickline in PICKS "Line {pickline} is not on the list."
  on enter goto PICK
  on f1 help
  on f3 goto MENU
  on f12 goto MENU
end

# The confirmation of one pick; the quantity picked may differ.
screen PICK uses STANDARD
  title "Confirm Pick"
  text 5 6 "Order . . . . . . . . :"
  output 5 31 8 "{PICKS.order}"
  text 6 6 "Item  . . . . . . . . :"
  output 6 31 6 "{PICKS.item}"
  output 6 39 26 "{PICKS.description}"
  text 7 6 "Location  . . . . . . :"
  output 7 31 8 "{PICKS.location}"
  text 8 6 "Quantity to pick  . . :"
  output 8 31 5 "{PICKS.qty}" type=numonly adjust=blank
  text 10 6 "Quantity picked . . . ."
  input 10 31 5 picked value="{PICKS.qty}" type=numonly adjust=blank underline
  text 12 2 "Press Enter to confirm the pick, F12 to return to the list."
  check picked range 0 99999 "Type the quantity picked, 0 to 99999."
  on enter goto PICKING
  on f3 goto MENU
  on f12 goto PICKING
end

screen TRANSFER uses STANDARD
  title "Stock Transfer"
  text 5 2 "Type the transfer, press Enter."
  text 7 6 "Item number . . . . . ."
  input 7 31 6 item value="{item}" upper underline mandatory
  text 8 6 "Quantity (- to reverse)"
  input 8 31 8 tqty type=signed underline
  text 9 6 "From location . . . . ."
  input 9 31 7 from upper underline fill
  text 10 6 "To location . . . . . ."
  input 10 31 7 to upper underline fill autoenter
  read all
  check item in ITEMS "Item {item} is not on file."
  check tqty range -9999999 9999999 "Type the quantity as a whole number."
  check from required "Type the location to move from."
  check to required "Type the location to move to."
  on enter goto MOVED
  on f3 goto MENU
  on f12 goto MENU
end

screen MOVED uses STANDARD
  title "Stock Transfer"
  text 8 6 "Transfer recorded: {tqty} of item {item} from {from} to {to}."
  text 10 6 "Press Enter to continue."
  on enter goto MENU
  on f3 goto MENU
  on f12 goto MENU
end
