'use strict';

// What a player is told about a room: the text (name on a line of its own in bright cyan, the
// description, the exit line "[ Exits: north east ]" in cyan) and GMCP Room.Info
// {num, name, area, exits: {direction: num}}.

const { Broadcast: B } = require('ranvier');

const ORDER = ['north', 'south', 'east', 'west', 'up', 'down'];

function exitsOf(room) {
  return room.getExits()
    .filter(exit => ORDER.includes(exit.direction))
    .sort((a, b) => ORDER.indexOf(a.direction) - ORDER.indexOf(b.direction));
}

function info(state, room) {
  const exits = {};
  for (const exit of exitsOf(room)) {
    const to = state.RoomManager.getRoom(exit.roomId);
    if (to) exits[exit.direction] = to.getMeta('num');
  }
  return {
    num: room.getMeta('num'),
    name: room.title,
    area: room.area.title,
    exits,
  };
}

function show(state, player) {
  const room = player.room;
  const words = exitsOf(room).map(exit => exit.direction);
  B.sayAt(player, `<b><cyan>${room.title}</cyan></b>`);
  B.sayAt(player, room.description);
  B.sayAt(player, `<cyan>[ Exits: ${words.length ? words.join(' ') : 'none'} ]</cyan>`);
  player.socket.command('sendGMCP', 'Room.Info', info(state, room));
}

module.exports = { ORDER, exitsOf, info, show };
